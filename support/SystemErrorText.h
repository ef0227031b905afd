// Texts of file-system errors in the interface's language (Russian, UTF-8).
//
// The system's own text is taken where the C library speaks Russian (the user's locale when it
// is Russian, else a Russian locale when one is installed); otherwise the common errors are
// translated here, and the rare rest keep the system's English text.
#pragma once

#include <string>
#include <system_error>

#include "platform/files/FileError.h"

namespace vantrel {

// The text of `error`, starting with a small letter, e.g. "нет такого файла или каталога".
std::string SystemErrorText(const std::error_code& error);

// The one wording of the file layer's errors for the learner:
// "Не удалось открыть файл «path»: нет такого файла или каталога" and the like.
std::string FileErrorMessage(const files::FileError& error);

}  // namespace vantrel
