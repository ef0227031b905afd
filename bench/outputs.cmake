# The interference outputs: CPU per second of playing, underruns on a real sound server.
add_executable(vantrel_bench_outputs ${CMAKE_CURRENT_LIST_DIR}/OutputsBench.cpp)
target_link_libraries(vantrel_bench_outputs PRIVATE vantrel_trainer vantrel_signal vantrel_audio
                                                   benchmark::benchmark benchmark::benchmark_main)
if(TARGET vantrel_audio_portaudio)
    target_link_libraries(vantrel_bench_outputs PRIVATE vantrel_audio_portaudio)
    target_compile_definitions(vantrel_bench_outputs PRIVATE VANTREL_BENCH_PORTAUDIO=1)
endif()
