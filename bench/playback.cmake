add_executable(vantrel_bench_playback ${CMAKE_CURRENT_LIST_DIR}/PlaybackBench.cpp)
target_link_libraries(vantrel_bench_playback PRIVATE vantrel_trainer benchmark::benchmark
                                                    benchmark::benchmark_main)
if(TARGET vantrel_audio_portaudio)
    target_link_libraries(vantrel_bench_playback PRIVATE vantrel_audio_portaudio)
    target_compile_definitions(vantrel_bench_playback PRIVATE VANTREL_BENCH_PORTAUDIO=1)
endif()
