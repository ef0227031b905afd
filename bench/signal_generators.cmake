add_executable(vantrel_bench_signal_generators
    ${CMAKE_CURRENT_LIST_DIR}/SignalGeneratorsBench.cpp)
target_link_libraries(vantrel_bench_signal_generators PRIVATE vantrel_signal benchmark::benchmark benchmark::benchmark_main)
