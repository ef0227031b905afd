// The copy set against the sent text as a person would mark it.
#include <gtest/gtest.h>

#include <string>

#include "progress/CheckComparison.h"
#include "support/Cp1251.h"

namespace vantrel::progress {
namespace {

std::string Cp(const char* utf8) {
    return cp1251::FromUtf8(utf8);
}

// The comparison of `copy` with the sent text "ЖЖЖ = " + `text`.
CheckComparison Compare(const char* text, const char* copy) {
    return CompareCopy(Cp("ЖЖЖ = ") + Cp(text), Cp(copy));
}

std::string Summary(const char* text, const char* copy) {
    return SummaryLine(Compare(text, copy).pairs);
}

TEST(AlignmentTest, SubstitutionsCountWhereTheyAre) {
    EXPECT_EQ(Summary("12345 67890", "42345 67890"), "Ошибки: 1→4 ×1");
    EXPECT_EQ(Summary("12345 67890", "12345 67590"), "Ошибки: 8→5 ×1");
    EXPECT_EQ(Summary("12345 67890", "12345 67895"), "Ошибки: 0→5 ×1");
    EXPECT_EQ(Summary("55555 12345", "45455 12345"), "Ошибки: 5→4 ×2");
}

TEST(AlignmentTest, ADroppedCharacterCountsOnceAndShiftsNothing) {
    EXPECT_EQ(Summary("12345 67890", "2345 67890"), "Ошибки: пропущено 1 ×1");
    EXPECT_EQ(Summary("12345 67890", "12345 6790"), "Ошибки: пропущено 8 ×1");
    EXPECT_EQ(Summary("12345 67890", "12345 6789"), "Ошибки: пропущено 0 ×1");
    const CheckComparison dropped = Compare("12345 67890 12345", "1245 67890 12345");
    EXPECT_EQ(dropped.rightCount, 14);
    EXPECT_EQ(dropped.missedCount, 1);
}

TEST(AlignmentTest, ExtraCharactersAtEitherEndOrInside) {
    EXPECT_EQ(Summary("12345", "912345"), "Ошибки: лишнее 9 ×1");
    EXPECT_EQ(Summary("12345", "123945"), "Ошибки: лишнее 9 ×1");
    EXPECT_EQ(Summary("12345", "123459"), "Ошибки: лишнее 9 ×1");
    // A copy longer than the text: the surplus is extra.
    const CheckComparison longer = Compare("123", "123 456");
    EXPECT_EQ(longer.rightCount, 3);
    EXPECT_EQ(longer.extraCount, 3);
}

TEST(AlignmentTest, MixedErrorsAreSortedForTheSummary) {
    EXPECT_EQ(Summary("55555 77777 12", "44455 7777Q 2 Z"),
              "Ошибки: 5→4 ×3, 7→Q ×1, пропущено 1 ×1, лишнее Z ×1");
}

TEST(AlignmentTest, EmptyCopyMissesEverySentCharacter) {
    const CheckComparison empty = Compare("12345 678", "");
    EXPECT_EQ(empty.sentCount, 8);
    EXPECT_EQ(empty.missedCount, 8);
    EXPECT_EQ(empty.rightCount, 0);
    EXPECT_EQ(Compare("", "123").extraCount, 3);
}

TEST(AlignmentTest, CyrillicIsUpperCasedAndDigitsStayApart) {
    EXPECT_EQ(Summary("ЖЁЛТЫ 12345", "жёлты 12345"), "Ошибок нет");
    EXPECT_EQ(Summary("ЖЁЛТЫ 12345", "жолты 12З45"), "Ошибки: 3→З ×1, Ё→О ×1");
}

TEST(AlignmentTest, LineBreaksOfFileTextsMatchTheCopysBreaksOrBlanks) {
    const std::string sent = Cp("ЖЖЖ = ") + "CQ CQ\r\nDE RA3\r\nK ";
    EXPECT_EQ(SummaryLine(CompareCopy(sent, "CQ CQ\r\nDE RA3\r\nK").pairs), "Ошибок нет");
    EXPECT_EQ(SummaryLine(CompareCopy(sent, "cq cq de ra3 k").pairs), "Ошибок нет");
    const CheckComparison dropped = CompareCopy(sent, "CQ CQ\nDE R3\nK");
    EXPECT_EQ(SummaryLine(dropped.pairs), "Ошибки: пропущено A ×1");
    EXPECT_EQ(dropped.sentCount, 10);
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
    const CheckComparison long_ = CompareCopy("ABCDEF" + text, copy);
    EXPECT_EQ(long_.missedCount, 1);
    EXPECT_EQ(long_.substitutedCount, 1);
    EXPECT_EQ(long_.extraCount, 2);
    EXPECT_EQ(long_.rightCount, long_.sentCount - 2);
}

}  // namespace
}  // namespace vantrel::progress
