add_executable(vantrel_bench_settings ${CMAKE_CURRENT_LIST_DIR}/SettingsBench.cpp)
target_link_libraries(vantrel_bench_settings PRIVATE vantrel_support vantrel_settings_backend vantrel_trainer
                                                     benchmark::benchmark benchmark::benchmark_main)
