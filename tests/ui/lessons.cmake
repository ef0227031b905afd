# The lesson tab's settings and the text types of the trainer window.
vantrel_add_test(vantrel_lesson_window_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/LessonWindowTest.cpp
    LIBS vantrel_trainer_ui vantrel_about vantrel_audio vantrel_settings_backend Qt6::Test)
