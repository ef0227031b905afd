# The aligned comparison of a whole digit text, and opening the statistics window over a long
# history (the window needs the GUI build).
if(TARGET vantrel_trainer_ui)
    add_executable(vantrel_bench_progress ${CMAKE_CURRENT_LIST_DIR}/ProgressBench.cpp)
    target_link_libraries(vantrel_bench_progress PRIVATE vantrel_trainer_ui vantrel_about
                                                         benchmark::benchmark)
endif()
