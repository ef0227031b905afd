# The recognition drills over a long history: the drill built from every answer, the lesson
# tab's last answers per character, and storing one answer.
add_executable(vantrel_bench_drills ${CMAKE_CURRENT_LIST_DIR}/DrillBench.cpp)
target_link_libraries(vantrel_bench_drills PRIVATE vantrel_progress benchmark::benchmark
                                                   benchmark::benchmark_main)
