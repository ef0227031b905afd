# The wave output layer: start latency and underruns on a sound server, virtual device and
# rate converter costs.
if(TARGET vantrel_audio_portaudio)
    add_executable(vantrel_audio_bench ${CMAKE_CURRENT_LIST_DIR}/AudioBench.cpp)
    target_link_libraries(vantrel_audio_bench PRIVATE vantrel_audio_portaudio benchmark::benchmark
                          benchmark::benchmark_main)
endif()
