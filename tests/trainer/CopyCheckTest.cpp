#include "trainer/CopyCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/Cp1251.h"

namespace vantrel {
namespace {

const std::string kPreamble = cp1251::FromUtf8("ЖЖЖ = ");

// A digit text as the text window shows it at the end: preamble, 150 groups, closing blank.
std::string DigitText() {
    std::string text = kPreamble;
    for (int group = 0; group < 150; ++group) {
        for (int i = 0; i < 5; ++i) {
            text += static_cast<char>('0' + (group * 7 + i * 3) % 10);
        }
        text += ' ';
    }
    return text + " ";
}

std::string CopyOf(const std::string& sent) {
    return sent.substr(kPracticePreamble.size());
}

TEST(CopyCheckTest, WholeDigitTextIsComparedUpToItsLastFullBlock) {
    const std::string sent = DigitText();
    ASSERT_EQ(sent.size(), 907u);
    const CopyCheckResult perfect = CheckCopy(sent, CopyOf(sent));
    EXPECT_EQ(std::pair(perfect.errorCount, perfect.grade), std::pair(0, 5));
    // Without the last group's blank and the closing blank, block 180 lacks its blank.
    const CopyCheckResult shortCopy = CheckCopy(sent, CopyOf(sent).substr(0, 899));
    EXPECT_EQ(std::pair(shortCopy.errorCount, shortCopy.grade), std::pair(1, 4));
}

TEST(CopyCheckTest, FaultyBlocksAreCountedOncePerBlockAndGraded) {
    const std::string sent = DigitText();
    // Wrong characters at these copy positions: errors and grade.
    const std::pair<std::vector<int>, std::pair<int, int>> cases[] = {{{0}, {1, 4}},
                                                                      {{1, 4}, {1, 4}},
                                                                      {{0, 5}, {2, 3}},
                                                                      {{0, 5, 10}, {3, 2}},
                                                                      {{0, 5, 10, 15}, {4, 2}}};
    for (const auto& [positions, expected] : cases) {
        std::string copy = CopyOf(sent);
        for (int p : positions) {
            copy[p] = copy[p] == '1' ? '2' : '1';
        }
        const CopyCheckResult result = CheckCopy(sent, copy);
        EXPECT_EQ(std::pair(result.errorCount, result.grade), expected) << positions.size();
    }
    // The surplus of a copy longer than the compared range is ignored.
    EXPECT_EQ(CheckCopy(sent, CopyOf(sent) + "12345").errorCount, 0);
}

TEST(CopyCheckTest, CaseLineBreaksAndShortTexts) {
    // Sent after the preamble, copy, errors and grade.
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"CQ DE ЖУК ЁЛКА ", "cq de жук ёлка ", 0, 5},  // lower case counts as capitals
        {"ABCD\r\nEFGH\r\n ", "ABCD\r\nEFGH\r\n ", 0, 5},
        {"ABCD\r\nEFGH\r\n ", "ABCD\nEFGH\n ", 2, 3},  // breaks compared as CR LF
        {"", "12345", 0, 5},                           // nothing to compare
        {"1234", "9999", 0, 5},  // a last block shorter than five is not evaluated
    };
    for (const auto& [sent, copy, errors, grade] : cases) {
        const CopyCheckResult result =
            CheckCopy(kPreamble + cp1251::FromUtf8(sent), cp1251::FromUtf8(copy));
        EXPECT_EQ(std::pair(result.errorCount, result.grade), std::pair(errors, grade)) << sent;
    }
}

}  // namespace
}  // namespace vantrel
