# The real sound backends on a sound server: CPU, start latency, toggles, drop-outs
# (scripts/measure-sound.sh runs them).
if(TARGET vantrel_audio_pulse AND TARGET vantrel_audio_portaudio)
    add_executable(vantrel_measure_sound
        ${CMAKE_CURRENT_LIST_DIR}/SoundServerMeasure.cpp
        ${CMAKE_SOURCE_DIR}/tests/platform/MonitorCapture.cpp
        ${CMAKE_SOURCE_DIR}/tests/platform/AudioAnalysis.cpp)
    target_link_libraries(vantrel_measure_sound PRIVATE vantrel_trainer vantrel_signal
                          vantrel_audio_pulse vantrel_audio_portaudio)
endif()
