// Texts of file-system errors in the interface's language (UTF-8), as the C library words them.
//
// In Russian the system's own text is taken where the C library speaks Russian (the user's
// locale when it is Russian, else a Russian locale when one is installed); otherwise the common
// errors are translated here, and the rare rest keep the system's English text. In English the
// C library's own (English) text, whatever the user's locale.
#pragma once

#include <string>
#include <system_error>

#include "platform/files/FileError.h"
#include "support/Language.h"

namespace vantrel {

// The text of `error`, starting with a small letter, e.g. "нет такого файла или каталога" or
// "no such file or directory".
std::string SystemErrorText(const std::error_code& error, Language language = Language::Russian);

}  // namespace vantrel
