vantrel_add_test(vantrel_text_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TextTest.cpp
    LIBS vantrel_support)
