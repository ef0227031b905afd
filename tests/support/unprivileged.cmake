# The tests whose failures only an unprivileged user meets (read-only files) run again as such
# a user, so that a suite run as root (CI) does not merely skip them.
set(unprivileged_runner ${CMAKE_CURRENT_LIST_DIR}/run-unprivileged.sh)
add_test(NAME Unprivileged.ReadOnlyResultLog
    COMMAND bash ${unprivileged_runner} $<TARGET_FILE:vantrel_copycheck_tests>
        ResultLogTest.LogThatCannotBeWrittenIsReportedAndKept)
set_tests_properties(Unprivileged.ReadOnlyResultLog PROPERTIES LABELS unit)
