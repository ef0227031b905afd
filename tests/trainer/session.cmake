vantrel_add_test(vantrel_session_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrainerSessionTest.cpp
            ${CMAKE_SOURCE_DIR}/tests/platform/AudioAnalysis.cpp
    LIBS vantrel_trainer vantrel_audio vantrel_settings_backend
    LABELS threaded)
if(TARGET vantrel_audio_pulse)
    vantrel_add_sound_server_test(vantrel_drill_timing_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/DrillTimingTest.cpp
                ${CMAKE_SOURCE_DIR}/tests/platform/AudioAnalysis.cpp
                ${CMAKE_SOURCE_DIR}/tests/platform/MonitorCapture.cpp
                ${CMAKE_SOURCE_DIR}/tests/platform/SoundLibrarySanitizers.cpp
        LIBS vantrel_trainer vantrel_audio_pulse)
endif()
