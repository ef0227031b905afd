vantrel_add_test(vantrel_settings_recovery_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsFileRecoveryTest.cpp
    LIBS vantrel_settings_backend)
