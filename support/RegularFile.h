// Reading a file the learner has named, which may turn out to be anything.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace vantrel {

// Reads the whole of a regular file into `bytes`. Anything else is refused without waiting: a
// folder with is_a_directory, a pipe, device or socket with FileProblem::NotARegularFile. The
// file is examined before it is opened and opened without blocking, so a pipe put in its place
// can never hold the reader up.
std::error_code ReadRegularFile(const std::filesystem::path& file, std::string& bytes);

}  // namespace vantrel
