vantrel_add_test(vantrel_settings_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTest.cpp
    LIBS vantrel_support vantrel_settings_backend
    LABELS threaded)
