# vantrel: the trainer program, built as build/app/vantrel.
add_executable(vantrel
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(vantrel PRIVATE
    vantrel_window vantrel_about vantrel_settings_backend vantrel_audio_choice Qt6::Widgets)
target_compile_definitions(vantrel PRIVATE VANTREL_APP_ID="${VANTREL_APP_ID}")
set_target_properties(vantrel PROPERTIES
    AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
