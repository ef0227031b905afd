# Koch lessons, the weak-character drill and export as audio.
vantrel_add_test(vantrel_lesson_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/LessonTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/AudioExportTest.cpp
    LIBS vantrel_trainer)
