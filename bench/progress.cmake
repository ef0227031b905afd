# The aligned comparison of a whole digit text, and opening the statistics window over a long
# history (the window needs the GUI build).
if(TARGET vantrel_window)
    add_executable(vantrel_bench_progress ${CMAKE_CURRENT_LIST_DIR}/ProgressBench.cpp)
    target_link_libraries(vantrel_bench_progress PRIVATE vantrel_window vantrel_about
                                                         benchmark::benchmark)
endif()
