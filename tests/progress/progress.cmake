# The learner's progress: aligned comparison, history store, statistics, CSV.
vantrel_add_test(vantrel_progress_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/AlignmentTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HistoryStoreTest.cpp
    LIBS vantrel_progress)
