# The check tab's comparison and the statistics window after checks with known errors.
vantrel_add_test(vantrel_statistics_window_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/StatisticsWindowTest.cpp
    LIBS vantrel_window vantrel_about Qt6::Test)
