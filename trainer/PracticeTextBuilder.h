// Builds the practice text of a run from the chosen source: random digit or letter groups, the
// lines of a text file, the learner's typed text or a generated contact, framed by the
// preamble "ЖЖЖ = " and a closing blank. Texts are Windows-1251 byte strings; a text file may
// also be written in UTF-8 (see cp1251::FromTextFile).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "trainer/ContactData.h"
#include "trainer/Random.h"

namespace vantrel {

struct PracticeTextRequest {
    int textType;                    // TextType.ItemIndex: 0..4, anything else builds nothing
    std::filesystem::path textFile;  // text type 2; empty when no file has been chosen
    std::string keyboardText;        // text type 3, Windows-1251
};

struct PracticeTextResult {
    enum class Status { Built, NoFileChosen, FileError } status = Status::Built;
    std::string text;   // framed "ЖЖЖ = " + text + " " in Windows-1251, or empty
    std::string error;  // FileError: the message for the learner (UTF-8)
};

// Groups per digit or letter text and characters per group.
inline constexpr int kPracticeGroups = 150;
inline constexpr int kPracticeGroupSize = 5;
// "ЖЖЖ = " in Windows-1251.
inline constexpr std::string_view kPracticePreamble = "\xC6\xC6\xC6 = ";

class PracticeTextBuilder {
  public:
    PracticeTextBuilder(Random& random, const ContactTexts& contacts);

    PracticeTextResult Build(const PracticeTextRequest& request);

  private:
    std::string RandomGroups(uint8_t lo, uint8_t hi);

    Random& random_;
    const ContactTexts& contacts_;
};

// Every line of `bytes`, upper-cased, each followed by CR LF. CR LF, LF and a lone CR end a
// line; a last line without a line end counts too.
std::string UpperCasedLines(std::string_view bytes);

}  // namespace vantrel
