vantrel_add_test(vantrel_session_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrainerSessionTest.cpp
            ${CMAKE_SOURCE_DIR}/tests/platform/AudioAnalysis.cpp
    LIBS vantrel_trainer vantrel_audio vantrel_settings_backend
    LABELS threaded)
