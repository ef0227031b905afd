vantrel_add_test(vantrel_signal_kernel_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/KernelsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/AudioBuffersTest.cpp
    LIBS vantrel_signal
    LABELS threaded)

vantrel_add_test(vantrel_signal_generator_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/GeneratorsTest.cpp
    LIBS vantrel_signal
    LABELS threaded)
