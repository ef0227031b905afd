vantrel_add_test(vantrel_about_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AboutTest.cpp
    LIBS vantrel_about vantrel_window Qt6::Widgets Qt6::Test)
