#include "trainer/PracticeTextBuilder.h"

#include <optional>

#include "platform/files/ReadFile.h"
#include "progress/WeakCharacterDrill.h"
#include "support/Cp1251.h"
#include "trainer/ContactGenerator.h"
#include "trainer/Limits.h"

namespace vantrel {

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
        case TextType::Digits:
            text = RandomGroups('0', '9');
            break;
        case TextType::Letters:
            text = RandomGroups(0xC0, 0xDF);
            break;
        case TextType::File: {
            if (request.textFile.empty()) {
                result.status = PracticeTextResult::Status::NoFileChosen;
                return result;
            }
            std::string bytes;
            if (const std::optional<files::FileError> error =
                    files::ReadWholeFile(request.textFile, bytes)) {
                result.status = PracticeTextResult::Status::FileError;
                result.fileError = *error;
                return result;
            }
            text = UpperCasedLines(cp1251::FromTextFile(bytes));
            break;
        }
        case TextType::Keyboard:
            text = cp1251::ToUpper(request.keyboardText) + " ";
            break;
        case TextType::Contact:
            text = BuildContactText(contacts_, random_);
            break;
        case TextType::Lesson:
            text = LessonGroups(progress::LessonCharacters(request.alphabet, request.lesson));
            break;
        case TextType::WeakCharacters:
            text = DrillGroups(progress::WeakCharacterDrill(
                progress::LessonCharacters(request.alphabet, request.lesson), request.history));
            break;
        case TextType::LatinLetters:
            text = RandomGroups('A', 'Z');
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
