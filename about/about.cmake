# vantrel_about: the about window and the program's icons.
add_library(vantrel_about STATIC
    ${CMAKE_CURRENT_LIST_DIR}/help.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramIcons.cpp)
target_link_libraries(vantrel_about PUBLIC Qt6::Widgets PRIVATE vantrel_settings_backend)
target_compile_definitions(vantrel_about PRIVATE VANTREL_VERSION="${PROJECT_VERSION}")
set_target_properties(vantrel_about PROPERTIES AUTOMOC ON)
# The program's icon drawn to PNG files of the given sizes, for the desktop's icon theme; built
# into the packaging folder, where the package's scripts look for it.
add_executable(vantrel_icon_export ${CMAKE_CURRENT_LIST_DIR}/IconExport.cpp)
target_link_libraries(vantrel_icon_export PRIVATE vantrel_about Qt6::Gui)
set_target_properties(vantrel_icon_export PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
