#include "trainer/CopyCheck.h"

#include <gtest/gtest.h>

#include <string>

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
    return sent.substr(kCopyPreambleLength);
}

TEST(CopyCheckTest, WholeDigitTextIsComparedUpToItsLastFullBlock) {
    const std::string sent = DigitText();
    ASSERT_EQ(sent.size(), 907u);
    const CopyCheckResult perfect = CheckCopy(sent, CopyOf(sent));
    EXPECT_EQ(perfect.errorCount, 0);
    EXPECT_EQ(perfect.grade, 5);
    // Without the last group's blank and the closing blank, block 180 lacks its blank.
    const std::string copy = CopyOf(sent).substr(0, 899);
    const CopyCheckResult shortCopy = CheckCopy(sent, copy);
    EXPECT_EQ(shortCopy.errorCount, 1);
    EXPECT_EQ(shortCopy.grade, 4);
}

TEST(CopyCheckTest, FaultyBlocksAreCountedOncePerBlockAndGraded) {
    const std::string sent = DigitText();
    auto checkWithWrongAt = [&](std::initializer_list<int> positions) {
        std::string copy = CopyOf(sent);
        for (int p : positions) {
            copy[p] = copy[p] == '1' ? '2' : '1';
        }
        return CheckCopy(sent, copy);
    };
    EXPECT_EQ(checkWithWrongAt({0}).errorCount, 1);
    EXPECT_EQ(checkWithWrongAt({0}).grade, 4);
    EXPECT_EQ(checkWithWrongAt({1, 4}).errorCount, 1);
    EXPECT_EQ(checkWithWrongAt({0, 5}).grade, 3);
    EXPECT_EQ(checkWithWrongAt({0, 5, 10}).grade, 2);
    EXPECT_EQ(checkWithWrongAt({0, 5, 10, 15}).errorCount, 4);
    EXPECT_EQ(checkWithWrongAt({0, 5, 10, 15}).grade, 2);
    // The surplus of a copy longer than the compared range is ignored.
    EXPECT_EQ(CheckCopy(sent, CopyOf(sent) + "12345").errorCount, 0);
}

TEST(CopyCheckTest, LowerCaseLatinAndCyrillicCountAsCapitals) {
    const std::string sent = kPreamble + cp1251::FromUtf8("CQ DE ЖУК ЁЛКА ");
    const CopyCheckResult result = CheckCopy(sent, cp1251::FromUtf8("cq de жук ёлка "));
    EXPECT_EQ(result.errorCount, 0);
}

TEST(CopyCheckTest, LineBreaksAreComparedAsCarriageReturnAndLineFeed) {
    const std::string sent = kPreamble + "ABCD\r\nEFGH\r\n ";
    EXPECT_EQ(CheckCopy(sent, "ABCD\r\nEFGH\r\n ").errorCount, 0);
    EXPECT_EQ(CheckCopy(sent, "ABCD\nEFGH\n ").errorCount, 2);
}

TEST(CopyCheckTest, OnlyThePreambleComparesNothing) {
    const CopyCheckResult result = CheckCopy(kPreamble, "12345");
    EXPECT_EQ(result.errorCount, 0);
    EXPECT_EQ(result.grade, 5);
    // A last block shorter than five is not evaluated.
    EXPECT_EQ(CheckCopy(kPreamble + "1234", "9999").errorCount, 0);
}

}  // namespace
}  // namespace vantrel
