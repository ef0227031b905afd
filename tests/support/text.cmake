vantrel_add_test(vantrel_text_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/Cp1251Test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/StringHolderTest.cpp
    LIBS vantrel_support)
