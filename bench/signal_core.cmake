add_executable(vantrel_bench_signal_core ${CMAKE_CURRENT_LIST_DIR}/SignalCoreBench.cpp)
target_link_libraries(vantrel_bench_signal_core PRIVATE vantrel_signal benchmark::benchmark
                                                        benchmark::benchmark_main)
