# The interference outputs: device selection, the wave and notify threads, the audio output.
vantrel_add_test(signal_outputs_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ALAudioOutDeviceTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/OutputThreadsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ALAudioOutTest.cpp
    LIBS vantrel_signal vantrel_audio
    LABELS threaded)

# The noise group's components and handlers on the virtual device; extreme toggling of its boxes
# on a real-time one.
vantrel_add_test(trainer_interference_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/InterferenceControlsTest.cpp
    LIBS vantrel_trainer vantrel_signal vantrel_audio
    LABELS threaded)

# End to end on the PulseAudio null sink (skipped without a sound server). The sink is shared:
# tests that play into it and measure what it carries share the ctest lock "sound_server".
if(TARGET vantrel_audio_portaudio)
    add_executable(interference_sound_test
        ${CMAKE_CURRENT_LIST_DIR}/InterferenceSoundTest.cpp
        ${CMAKE_SOURCE_DIR}/tests/platform/MonitorCapture.cpp
        ${CMAKE_SOURCE_DIR}/tests/platform/AudioAnalysis.cpp
        ${CMAKE_SOURCE_DIR}/tests/platform/SoundLibrarySanitizers.cpp)
    target_link_libraries(interference_sound_test PRIVATE vantrel_trainer vantrel_signal
                          vantrel_audio_portaudio GTest::gtest GTest::gtest_main)
    gtest_discover_tests(interference_sound_test
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS threaded RESOURCE_LOCK sound_server)
endif()
