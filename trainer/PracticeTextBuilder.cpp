#include "trainer/PracticeTextBuilder.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "progress/WeakCharacterDrill.h"
#include "support/Cp1251.h"
#include "trainer/ContactGenerator.h"
#include "trainer/Limits.h"

namespace vantrel {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

std::error_code LastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// The whole file as bytes, or the system's error. A directory is an error, as is a read that
// fails midway.
std::error_code ReadFile(const std::filesystem::path& path, std::string& bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
    if (!file) {
        return LastError();
    }
    constexpr std::size_t kChunk = 64 * 1024;
    std::size_t n = 0;
    do {
        const std::size_t old = bytes.size();
        bytes.resize(old + kChunk);
        n = std::fread(bytes.data() + old, 1, kChunk, file.get());
        bytes.resize(old + n);
    } while (n == kChunk);
    if (std::ferror(file.get())) {
        return LastError();
    }
    return {};
}

}  // namespace

std::string UpperCasedLines(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
        text += cp1251::ToUpper(bytes.substr(start, stop - start));
        text += "\r\n";
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return text;
}

PracticeTextBuilder::PracticeTextBuilder(Random& random, const ContactTexts& contacts)
    : random_(random), contacts_(contacts) {}

template <typename Draw>
std::string PracticeTextBuilder::Groups(Draw draw) {
    std::string text;
    text.reserve(kPracticeGroups * (kPracticeGroupSize + 1));
    for (int group = 0; group < kPracticeGroups; ++group) {
        for (int k = 0; k < kPracticeGroupSize; ++k) {
            text += static_cast<char>(draw());
        }
        text += ' ';
    }
    return text;
}

std::string PracticeTextBuilder::RandomGroups(uint8_t lo, uint8_t hi) {
    return Groups([&] { return random_.Char(lo, hi); });
}

std::string PracticeTextBuilder::LessonGroups(std::string_view characters) {
    const auto count = static_cast<uint32_t>(characters.size());
    return Groups([&] { return characters[random_(count)]; });
}

std::string PracticeTextBuilder::DrillGroups(const progress::WeakCharacterDrill& drill) {
    return Groups([&] { return drill.Pick(random_(drill.TotalWeight())); });
}

PracticeTextResult PracticeTextBuilder::Build(const PracticeTextRequest& request) {
    PracticeTextResult result;
    std::string text;
    switch (request.textType) {
        case limits::kTextTypeDigits:
            text = RandomGroups('0', '9');
            break;
        case limits::kTextTypeLetters:
            text = RandomGroups(0xC0, 0xDF);
            break;
        case limits::kTextTypeFile: {
            if (request.textFile.empty()) {
                result.status = PracticeTextResult::Status::NoFileChosen;
                return result;
            }
            std::string bytes;
            if (const std::error_code ec = ReadFile(request.textFile, bytes)) {
                result.status = PracticeTextResult::Status::FileError;
                result.error = ec.message();
                return result;
            }
            text = UpperCasedLines(bytes);
            break;
        }
        case limits::kTextTypeKeyboard:
            text = cp1251::ToUpper(request.keyboardText) + " ";
            break;
        case limits::kTextTypeContact:
            text = BuildContactText(contacts_, random_);
            break;
        case limits::kTextTypeLesson:
            text = LessonGroups(progress::LessonCharacters(request.alphabet, request.lesson));
            break;
        case limits::kTextTypeWeakCharacters:
            text = DrillGroups(progress::WeakCharacterDrill(
                progress::LessonCharacters(request.alphabet, request.lesson), request.history));
            break;
        default:
            break;
    }
    if (!text.empty()) {
        result.text.reserve(kPracticePreamble.size() + text.size() + 1);
        result.text.append(kPracticePreamble).append(text).append(" ");
    }
    return result;
}

}  // namespace vantrel
