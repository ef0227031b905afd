add_executable(vantrel_bench_keying ${CMAKE_CURRENT_LIST_DIR}/KeyingBench.cpp)
target_link_libraries(vantrel_bench_keying PRIVATE vantrel_trainer benchmark::benchmark
                                                   benchmark::benchmark_main)
