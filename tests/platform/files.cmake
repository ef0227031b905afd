# The file layer: replacing, appending, reading, keeping aside and the user's folders.
vantrel_add_test(vantrel_files_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FilesTest.cpp
    LIBS vantrel_files)
