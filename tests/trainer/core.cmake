vantrel_add_test(vantrel_core_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/KeyerTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RandomTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ContactGeneratorTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PracticeTextBuilderTest.cpp
    LIBS vantrel_trainer)
