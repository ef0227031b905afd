// Texts of file-system errors in the interface's language (Russian, UTF-8).
//
// The system's own text is taken where the C library speaks Russian (the user's locale when it
// is Russian, else a Russian locale when one is installed); otherwise the common errors are
// translated here, and the rare rest keep the system's English text.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace vantrel {

// Problems with a file that the system has no error number for.
enum class FileProblem {
    NotARegularFile = 1,  // a pipe, device or socket where a file was expected
};

std::error_code MakeErrorCode(FileProblem problem);

// The text of `error`, starting with a small letter, e.g. "нет такого файла или каталога".
std::string SystemErrorText(const std::error_code& error);

enum class FileAction { Open, Write };

// "Не удалось открыть файл «path»: нет такого файла или каталога" and the like.
std::string FileErrorMessage(FileAction action, const std::filesystem::path& file,
                             const std::error_code& error);

}  // namespace vantrel
