# Run control under random command storms and with a device that stops answering.
vantrel_add_test(vantrel_run_control_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RunControlPropertyTest.cpp
    LIBS vantrel_trainer vantrel_audio
    LABELS threaded)
