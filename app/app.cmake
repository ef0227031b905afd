# vantrel: the trainer program, built as build/app/vantrel.
add_executable(vantrel
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundSystemChoice.cpp)
target_link_libraries(vantrel PRIVATE
    vantrel_window vantrel_about vantrel_settings_backend vantrel_audio Qt6::Widgets)
if(TARGET vantrel_audio_portaudio)
    target_link_libraries(vantrel PRIVATE vantrel_audio_portaudio)
    target_compile_definitions(vantrel PRIVATE VANTREL_HAVE_PORTAUDIO)
endif()
if(TARGET vantrel_audio_pulse)
    target_link_libraries(vantrel PRIVATE vantrel_audio_pulse)
    target_compile_definitions(vantrel PRIVATE VANTREL_HAVE_PULSE)
endif()
target_compile_definitions(vantrel PRIVATE VANTREL_APP_ID="${VANTREL_APP_ID}")
set_target_properties(vantrel PROPERTIES
    AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
