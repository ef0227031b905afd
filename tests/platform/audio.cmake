# The wave output layer: the contract over every backend, the virtual device, the analysers
# and the end-to-end run on a real sound server.
# Suites that play on the sound server hold the ctest lock "sound_server", so that no two of them
# play into the null sink (and its captured monitor) at the same time.
function(vantrel_add_sound_server_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS threaded RESOURCE_LOCK sound_server)
endfunction()

set(audio_test_libs vantrel_audio)
set(audio_test_defs "")
set(audio_test_sources "")
if(TARGET vantrel_audio_portaudio)
    list(APPEND audio_test_libs vantrel_audio_portaudio)
    list(APPEND audio_test_defs VANTREL_HAVE_PORTAUDIO)
    list(APPEND audio_test_sources ${CMAKE_CURRENT_LIST_DIR}/SoundLibrarySanitizers.cpp)
endif()
if(TARGET vantrel_audio_pulse)
    list(APPEND audio_test_libs vantrel_audio_pulse)
    list(APPEND audio_test_defs VANTREL_HAVE_PULSE)
    list(REMOVE_DUPLICATES audio_test_sources)
    list(APPEND audio_test_sources ${CMAKE_CURRENT_LIST_DIR}/SoundLibrarySanitizers.cpp)
    list(REMOVE_DUPLICATES audio_test_sources)
endif()
vantrel_add_sound_server_test(vantrel_waveout_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WaveOutContractTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/VirtualWaveOutTest.cpp
            ${audio_test_sources}
    LIBS ${audio_test_libs})
target_compile_definitions(vantrel_waveout_tests PRIVATE ${audio_test_defs})
vantrel_add_test(vantrel_audio_primitives_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AudioPrimitivesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/AudioAnalysis.cpp
            ${CMAKE_CURRENT_LIST_DIR}/DeferredWaveSystemTest.cpp
    LIBS vantrel_audio
    LABELS threaded)
if(TARGET vantrel_audio_portaudio)
    vantrel_add_sound_server_test(vantrel_soundserver_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/SoundServerTest.cpp
                ${CMAKE_CURRENT_LIST_DIR}/AudioAnalysis.cpp
                ${CMAKE_CURRENT_LIST_DIR}/MonitorCapture.cpp
                ${CMAKE_CURRENT_LIST_DIR}/SoundLibrarySanitizers.cpp
        LIBS vantrel_audio_portaudio vantrel_audio_choice vantrel_trainer vantrel_signal)
    if(TARGET vantrel_audio_pulse)
        target_link_libraries(vantrel_soundserver_tests PRIVATE vantrel_audio_pulse)
        target_compile_definitions(vantrel_soundserver_tests PRIVATE VANTREL_HAVE_PULSE)
    endif()
endif()
