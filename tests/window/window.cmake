# The trainer window under QtTest on the offscreen platform, its accessibility and lesson tab.
vantrel_add_test(vantrel_window_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WindowTest.cpp ${CMAKE_CURRENT_LIST_DIR}/WordingTest.cpp
    LIBS vantrel_window vantrel_about vantrel_audio vantrel_settings_backend Qt6::Test)

# The real program in a virtual X server: it must come up, draw itself and close on its own.
if(TARGET vantrel)
    add_test(NAME WindowSmokeUnderXvfb
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/screenshot.sh $<TARGET_FILE:vantrel>
                ${CMAKE_CURRENT_BINARY_DIR}/smoke-screenshot.png)
    set_tests_properties(WindowSmokeUnderXvfb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan-system.supp")
endif()
