// The copy set against the sent text as a person would mark it.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "progress/CheckComparison.h"
#include "support/Cp1251.h"

namespace vantrel::progress {
namespace {

// The comparison of `copy` with the sent text "ЖЖЖ = " + `text`.
CheckComparison Compare(const std::string& text, const std::string& copy) {
    return CompareCopy(cp1251::FromUtf8("ЖЖЖ = " + text), cp1251::FromUtf8(copy));
}

// Sent, right, substituted, missed, extra.
std::array<int, 5> Counts(const CheckComparison& c) {
    return {c.sentCount, c.rightCount, c.substitutedCount, c.missedCount, c.extraCount};
}

TEST(AlignmentTest, EachErrorCountsOnceWhereItIsAndShiftsNothing) {
    const char* const cases[][3] = {
        {"12345 67890", "42345 67890", "1→4×1"},
        {"12345 67890", "12345 67590", "8→5×1"},
        {"12345 67890", "12345 67895", "0→5×1"},
        {"55555 12345", "45455 12345", "5→4×2"},
        {"12345 67890", "2345 67890", "1→∅×1"},
        {"12345 67890", "12345 6790", "8→∅×1"},
        {"12345 67890", "12345 6789", "0→∅×1"},
        {"12345", "912345", "∅→9×1"},
        {"12345", "123945", "∅→9×1"},
        {"12345", "123459", "∅→9×1"},
        {"55555 77777 12", "44455 7777Q 2 Z", "5→4×3 7→Q×1 1→∅×1 ∅→Z×1"},
        // Cyrillic is upper-cased, and digits stay apart from look-alike letters.
        {"ЖЁЛТЫ 12345", "жёлты 12345", ""},
        {"ЖЁЛТЫ 12345", "жолты 12З45", "3→З×1 Ё→О×1"},
        // Line breaks of file texts match the copy's breaks or blanks.
        {"CQ CQ\r\nDE RA3\r\nK ", "CQ CQ\r\nDE RA3\r\nK", ""},
        {"CQ CQ\r\nDE RA3\r\nK ", "cq cq de ra3 k", ""},
        {"CQ CQ\r\nDE RA3\r\nK ", "CQ CQ\nDE R3\nK", "A→∅×1"},
    };
    for (const auto& [text, copy, summary] : cases) {
        EXPECT_EQ(ErrorNotation(Compare(text, copy).pairs), summary) << text << " / " << copy;
    }
    using Five = std::array<int, 5>;
    EXPECT_EQ(Counts(Compare("12345 67890 12345", "1245 67890 12345")), (Five{15, 14, 0, 1, 0}));
    EXPECT_EQ(Counts(Compare("123", "123 456")), (Five{3, 3, 0, 0, 3}));
    EXPECT_EQ(Counts(Compare("55555 77777 12", "44455 7777Q 2 Z")), (Five{12, 7, 4, 1, 1}));
    EXPECT_EQ(Counts(Compare("12345 678", "")), (Five{8, 0, 0, 8, 0}));
    EXPECT_EQ(Counts(Compare("", "123")), (Five{0, 0, 0, 0, 3}));
    EXPECT_EQ(Counts(Compare("CQ CQ\r\nDE RA3\r\nK ", "CQ CQ\nDE R3\nK")), (Five{10, 9, 0, 1, 0}));
}

TEST(AlignmentTest, LongTextsAreAlignedWindowByWindow) {
    std::string text;
    for (int group = 0; group < 1000; ++group) {
        text += std::to_string(10000 + group * 7 % 90000) + " ";
    }
    std::string copy = text;
    copy.erase(3001, 1);      // a missed character
    copy[4500] = 'X';         // a wrong one
    copy.insert(5700, "QQ");  // two extras
    const int sent = 5000;
    EXPECT_EQ(Counts(CompareCopy("ABCDEF" + text, copy)),
              (std::array<int, 5>{sent, sent - 2, 1, 1, 2}));
}

}  // namespace
}  // namespace vantrel::progress
