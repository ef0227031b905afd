// What went wrong with a file, as a value: nothing in the file layer throws, and whoever shows an
// error to the learner words it (see support/SystemErrorText.h).
#pragma once

#include <filesystem>
#include <system_error>

namespace vantrel::files {

enum class Operation {
    Open,   // opening or reading a file
    Write,  // creating, writing, replacing, appending to or moving a file
};

struct FileError {
    Operation op = Operation::Write;
    std::filesystem::path path;  // the file as the caller named it
    std::error_code code;

    friend bool operator==(const FileError&, const FileError&) = default;
};

// Problems with a file that the system has no error number for.
enum class FileProblem {
    NotARegularFile = 1,  // a pipe, device or socket where a file was expected
};

std::error_code MakeErrorCode(FileProblem problem);

}  // namespace vantrel::files
