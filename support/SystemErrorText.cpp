#include "support/SystemErrorText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#if defined(__GLIBC__)
#include <langinfo.h>
#include <locale.h>
#define VANTREL_STRERROR_L 1
#endif

namespace vantrel {
namespace {

// The C library's wording, so that both sources read alike.
struct Translation {
    int code;
    const char* text;
};
constexpr Translation kTranslations[] = {
    {ENOENT, "нет такого файла или каталога"},
    {EACCES, "отказано в доступе"},
    {EPERM, "операция не позволена"},
    {EISDIR, "это каталог"},
    {ENOTDIR, "это не каталог"},
    {ENOSPC, "на устройстве не осталось свободного места"},
    {EROFS, "файловая система доступна только для чтения"},
    {EDQUOT, "превышена дисковая квота"},
    {EFBIG, "файл слишком велик"},
    {EIO, "ошибка ввода/вывода"},
    {ENAMETOOLONG, "слишком длинное имя файла"},
    {ELOOP, "слишком много уровней символьных ссылок"},
    {EMFILE, "слишком много открытых файлов"},
    {ENFILE, "слишком много открытых файлов в системе"},
    {ENOMEM, "невозможно выделить память"},
    {EBUSY, "устройство или ресурс занято"},
    {ENXIO, "нет такого устройства или адреса"},
    {EAGAIN, "ресурс временно недоступен"},
};

bool HasCyrillic(std::string_view utf8) {
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0xD0 || b == 0xD1) {
            return true;
        }
    }
    return false;
}

// The first letter made small: Latin, and Cyrillic А..Я and Ё in UTF-8.
std::string StartSmall(std::string text) {
    if (text.empty()) {
        return text;
    }
    auto* b = reinterpret_cast<unsigned char*>(text.data());
    if (b[0] >= 'A' && b[0] <= 'Z') {
        b[0] = static_cast<unsigned char>(b[0] - 'A' + 'a');
    } else if (text.size() >= 2 && b[0] == 0xD0) {
        if (b[1] >= 0x90 && b[1] <= 0x9F) {  // А..П
            b[1] = static_cast<unsigned char>(b[1] + 0x20);
        } else if (b[1] >= 0xA0 && b[1] <= 0xAF) {  // Р..Я
            b[0] = 0xD1;
            b[1] = static_cast<unsigned char>(b[1] - 0x20);
        } else if (b[1] == 0x81) {  // Ё
            b[0] = 0xD1;
            b[1] = 0x91;
        }
    }
    return text;
}

#ifdef VANTREL_STRERROR_L

// The locale whose messages the user reads: LC_ALL, else LC_MESSAGES, else LANG.
std::string UserMessagesLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

std::optional<std::string> TextInLocale(int code, const std::string& name) {
    locale_t locale = ::newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, name.c_str(), locale_t{});
    if (locale == locale_t{}) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    if (std::strcmp(::nl_langinfo_l(CODESET, locale), "UTF-8") == 0) {
        const char* s = ::strerror_l(code, locale);
        if (s != nullptr && HasCyrillic(s)) {
            text = s;
        }
    }
    ::freelocale(locale);
    return text;
}

std::optional<std::string> SystemTextInRussian(int code) {
    const std::string user = UserMessagesLocale();
    if (user.starts_with("ru")) {
        if (std::optional<std::string> text = TextInLocale(code, user)) {
            return text;
        }
    }
    return TextInLocale(code, "ru_RU.UTF-8");
}

// The C library's own words, which are English, whatever the user's locale.
std::string SystemTextInEnglish(int code) {
    std::string text;
    if (locale_t locale = ::newlocale(LC_MESSAGES_MASK, "C", locale_t{}); locale != locale_t{}) {
        text = ::strerror_l(code, locale);
        ::freelocale(locale);
    }
    return text.empty() ? std::error_code(code, std::generic_category()).message() : text;
}

#else

std::optional<std::string> SystemTextInRussian(int) {
    return std::nullopt;
}

std::string SystemTextInEnglish(int code) {
    return std::error_code(code, std::generic_category()).message();
}

#endif

}  // namespace

std::string SystemErrorText(const std::error_code& error, Language language) {
    const bool system =
        error.category() == std::generic_category() || error.category() == std::system_category();
    if (language == Language::English) {
        return StartSmall(system ? SystemTextInEnglish(error.value()) : error.message());
    }
    if (error == files::MakeErrorCode(files::FileProblem::NotARegularFile)) {
        return "это не обычный файл";
    }
    if (system) {
        if (std::optional<std::string> text = SystemTextInRussian(error.value())) {
            return StartSmall(std::move(*text));
        }
        for (const Translation& t : kTranslations) {
            if (t.code == error.value()) {
                return t.text;
            }
        }
    }
    return StartSmall(error.message());
}

}  // namespace vantrel
