vantrel_add_test(vantrel_signal_kernel_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/KernelsTest.cpp
    LIBS vantrel_signal
    LABELS threaded)
