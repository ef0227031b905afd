# The pin framework, the clock service and the generator frame.
vantrel_add_test(signal_core_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/OWLocksTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/OWPinsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ALCommonGenTest.cpp
    LIBS vantrel_signal
    LABELS threaded)
