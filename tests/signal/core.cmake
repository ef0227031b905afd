# The pin framework and the generators: their frame, the clock service, the tone and the noise.
vantrel_add_test(signal_core_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/OWPinsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GeneratorsTest.cpp
    LIBS vantrel_signal
    LABELS threaded)
