vantrel_add_test(vantrel_about_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/AboutWindowTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProgramIconsTest.cpp
    LIBS vantrel_about vantrel_window Qt6::Widgets Qt6::Test)
