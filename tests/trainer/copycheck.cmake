vantrel_add_test(vantrel_copycheck_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/CopyCheckTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ResultLogTest.cpp
    LIBS vantrel_trainer)
