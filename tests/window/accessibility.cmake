# The real window read by the Orca screen reader in a private X server, in each language.
# Orca answers slowly on a busy machine, so these run with nothing beside them.
if(TARGET vantrel)
    add_test(NAME ScreenReaderReadsTheWholeRun
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/ScreenReaderTest.sh $<TARGET_FILE:vantrel> ru)
    add_test(NAME ScreenReaderReadsTheWholeRunInEnglish
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/ScreenReaderTest.sh $<TARGET_FILE:vantrel> en)
    set_tests_properties(ScreenReaderReadsTheWholeRun ScreenReaderReadsTheWholeRunInEnglish
        PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 480 RUN_SERIAL TRUE LABELS threaded
        RESOURCE_LOCK sound_server)
endif()
