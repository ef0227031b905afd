vantrel_add_test(vantrel_textfile_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TextFileTest.cpp
    LIBS vantrel_trainer)
