add_executable(vantrel_bench_export ${CMAKE_CURRENT_LIST_DIR}/ExportBench.cpp)
target_link_libraries(vantrel_bench_export PRIVATE vantrel_trainer benchmark::benchmark
                                                   benchmark::benchmark_main)
