add_executable(vantrel_bench_band ${CMAKE_CURRENT_LIST_DIR}/BandBench.cpp)
target_link_libraries(vantrel_bench_band PRIVATE vantrel_band vantrel_trainer benchmark::benchmark
                                                 benchmark::benchmark_main)
