# The hand-written scalable desktop icon must look like the window icon the program draws.
find_program(RSVG_CONVERT rsvg-convert)
if(TARGET vantrel_icon_export AND RSVG_CONVERT)
    add_test(NAME DesktopIconSvgMatchesProgramIcon
        COMMAND sh -c "\"$1\" -w 256 -h 256 -o \"$2\" \"$3\" && \"$4\" --compare \"$2\" 0.5"
                sh ${RSVG_CONVERT} ${CMAKE_CURRENT_BINARY_DIR}/desktop-icon-256.png
                ${CMAKE_SOURCE_DIR}/packaging/com.quorbit.Vantrel.svg
                $<TARGET_FILE:vantrel_icon_export>)
    set_tests_properties(DesktopIconSvgMatchesProgramIcon PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
endif()
