// Builds the practice text of a run from the chosen source: random digit, Cyrillic or Latin
// letter groups, the lines of a text file, the learner's typed text, a generated contact, groups
// over the characters of a Koch lesson or the weak-character drill over them, framed by the
// preamble "ЖЖЖ = " and a closing blank. Texts are Windows-1251 byte strings; a text file may also
// be written in UTF-8 (see cp1251::FromTextFile).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/FileError.h"
#include "progress/CharacterHistory.h"
#include "progress/KochLessons.h"
#include "support/PracticePreamble.h"
#include "trainer/ContactData.h"
#include "trainer/Limits.h"
#include "trainer/Random.h"

namespace vantrel {

namespace progress {
class WeakCharacterDrill;
}

struct PracticeTextRequest {
    TextType textType;               // anything but Digits..LatinLetters builds nothing
    std::filesystem::path textFile;  // text type 2; empty when no file has been chosen
    std::string keyboardText;        // text type 3, Windows-1251
    // Text types 5 (lesson) and 6 (drill): the characters of this lesson.
    progress::KochAlphabet alphabet = progress::KochAlphabet::Latin;
    int lesson = progress::kFirstLesson;
    // Text type 6: the learner's history, or null (uniform groups).
    const progress::CharacterHistory* history = nullptr;
};

struct PracticeTextResult {
    enum class Status { Built, NoFileChosen, FileError } status = Status::Built;
    std::string text;  // framed "ЖЖЖ = " + text + " " in Windows-1251, or empty
    std::optional<files::FileError> fileError;  // FileError: what went wrong
};

// Groups per digit or letter text and characters per group.
inline constexpr int kPracticeGroups = 150;
inline constexpr int kPracticeGroupSize = 5;

class PracticeTextBuilder {
  public:
    PracticeTextBuilder(Random& random, const ContactTexts& contacts);

    PracticeTextResult Build(const PracticeTextRequest& request);

  private:
    std::string RandomGroups(uint8_t lo, uint8_t hi);
    // 150 groups of five, each character drawn by `draw`.
    template <typename Draw>
    std::string Groups(Draw draw);
    std::string LessonGroups(std::string_view characters);
    std::string DrillGroups(const progress::WeakCharacterDrill& drill);

    Random& random_;
    const ContactTexts& contacts_;
};

// Every line of `bytes`, upper-cased, each followed by CR LF. CR LF, LF and a lone CR end a
// line; a last line without a line end counts too.
std::string UpperCasedLines(std::string_view bytes);

}  // namespace vantrel
