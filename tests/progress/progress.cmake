# The learner's progress: aligned comparison, history store, statistics, CSV, the recognition
# drills (their character sets checked against the keyer's code table).
vantrel_add_test(vantrel_progress_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/AlignmentTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DrillTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HistoryStoreTest.cpp
    LIBS vantrel_progress vantrel_trainer)
