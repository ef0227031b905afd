vantrel_add_test(vantrel_error_text_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SystemErrorTextTest.cpp
    LIBS vantrel_support)
