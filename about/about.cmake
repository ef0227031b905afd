# vantrel_about: the about window and the program's icons.
add_library(vantrel_about STATIC
    ${CMAKE_CURRENT_LIST_DIR}/help.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramIcons.cpp)
target_link_libraries(vantrel_about PUBLIC Qt6::Widgets PRIVATE vantrel_settings_backend)
target_compile_definitions(vantrel_about PRIVATE VANTREL_VERSION="${PROJECT_VERSION}")
set_target_properties(vantrel_about PROPERTIES AUTOMOC ON)
