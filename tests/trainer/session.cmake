vantrel_add_test(vantrel_session_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrainerSessionTest.cpp
    LIBS vantrel_trainer vantrel_audio vantrel_settings_backend
    LABELS threaded)
