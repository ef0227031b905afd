# What screen readers get from the trainer window, on the offscreen platform.
vantrel_add_test(vantrel_accessibility_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AccessibilityTest.cpp
    LIBS vantrel_trainer_ui vantrel_about vantrel_audio vantrel_settings_backend Qt6::Test)

# The real window read by the Orca screen reader in a private X server.
if(TARGET vantrel)
    add_test(NAME ScreenReaderReadsTheWholeRun
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/ScreenReaderTest.sh $<TARGET_FILE:vantrel>)
    set_tests_properties(ScreenReaderReadsTheWholeRun PROPERTIES SKIP_RETURN_CODE 77
        TIMEOUT 240 LABELS threaded RESOURCE_LOCK sound_server)
endif()
