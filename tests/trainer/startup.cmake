vantrel_add_test(vantrel_startup_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DeferredWaveSystemTest.cpp
            ${CMAKE_SOURCE_DIR}/app/DeferredWaveSystem.cpp
    LIBS vantrel_audio
    LABELS threaded)
