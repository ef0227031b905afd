# Fails when the translation file TS lacks a finished translation of a text of the sources, or
# still holds one that no source uses. Runs lupdate over the list SOURCES into a copy of TS
# (only the plural forms when PLURAL_ONLY), and touches STAMP when all is well.
get_filename_component(name ${TS} NAME)
set(copy ${STAMP}.ts)
configure_file(${TS} ${copy} COPYONLY)
set(options -silent -locations none -I ${ROOT})
if(PLURAL_ONLY)
    list(APPEND options -pluralonly)
endif()
execute_process(COMMAND ${LUPDATE} ${options} @${SOURCES} -ts ${copy} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "lupdate could not read the sources for ${name}")
endif()
file(READ ${copy} updated)
# A message's source, then its comments (any element but the message's end), then its state.
string(REGEX MATCHALL
       "<source>[^<]*</source>([^<]|<[^/m]|</[^m])*<translation type=\"(unfinished|vanished|obsolete)\""
       problems "${updated}")
if(problems)
    set(report "")
    foreach(problem ${problems})
        string(REGEX REPLACE "^<source>([^<]*)</source>.*type=\"([a-z]+)\"$" "  \\2: \\1\n" line "${problem}")
        string(APPEND report "${line}")
    endforeach()
    message(FATAL_ERROR "translations/${name} is not in step with the sources (unfinished: a "
            "text without its translation; vanished: a translation no text uses):\n${report}"
            "Run scripts/translations.sh, then translate what it marks unfinished.")
endif()
file(TOUCH ${STAMP})
