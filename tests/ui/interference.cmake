# The noise group of the trainer window.
vantrel_add_test(interference_window_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/InterferenceWindowTest.cpp
    LIBS vantrel_trainer_ui vantrel_about vantrel_audio vantrel_settings_backend Qt6::Test
    LABELS threaded)
