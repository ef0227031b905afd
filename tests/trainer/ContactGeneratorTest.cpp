#include "trainer/ContactGenerator.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace vantrel {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) {
        ++n;
    }
    return n;
}

TStringHolder Lines(const std::vector<std::string>& lines) {
    TStringHolder holder;
    holder.SetStrings(lines);
    return holder;
}

std::string WordAt(const std::string& text, std::size_t pos) {
    return text.substr(pos, text.find(' ', pos) - pos);
}

// Checks the shape head-digit, two or three letters А..Я, optional "/P" or "/M", and returns
// the letters' count (0 when the shape is wrong).
std::size_t LetterCount(const std::string& call) {
    std::string rest = call;
    if (rest.ends_with("/P") || rest.ends_with("/M")) {
        rest.resize(rest.size() - 2);
    }
    std::size_t letters = 0;
    while (!rest.empty() && static_cast<uint8_t>(rest.back()) >= 0xC0) {
        rest.pop_back();
        ++letters;
    }
    const bool ok = !rest.empty() && IsDigit(rest.back()) && (letters == 2 || letters == 3);
    EXPECT_TRUE(ok) << call;
    return ok ? letters : 0;
}

TEST(ContactDataTest, ListsMeetTheGeneratorsInvariants) {
    const ContactTexts texts;
    const auto& prefixes = texts.Prefixes.Strings();
    ASSERT_EQ(prefixes.size(), 100u);
    std::map<std::string, int> perPrefix;
    for (const std::string& line : prefixes) {
        const std::string prefix(CallSignPrefix(line));
        EXPECT_TRUE(!prefix.empty() && prefix.size() <= 3) << line;
        EXPECT_EQ(line.find_first_not_of(' ', prefix.size()), 5u) << line;  // places at column 6
        ++perPrefix[prefix];
    }
    EXPECT_EQ(perPrefix.size(), 90u);
    EXPECT_EQ(perPrefix["G"], 6);
    int withC = 0;
    int withW = 0;
    for (const std::string& line : texts.Chat.Strings()) {
        EXPECT_EQ(line.find("\\V"), std::string::npos);
        withC += line.find("\\C") != std::string::npos;
        withW += line.find("\\W") != std::string::npos;
    }
    EXPECT_EQ(withC, 3);
    EXPECT_EQ(withW, 2);
}

// Any change to the eight templates or the 32 remark lines, a blank included, changes their
// FNV-1a hash.
TEST(ContactDataTest, TemplatesAndRemarksKeepTheirExactTextBlanksIncluded) {
    const ContactTexts texts;
    uint64_t hash = 0xCBF29CE484222325;
    for (const TStringHolder* lines : {&texts.QSOs, &texts.Chat}) {
        for (const std::string& line : lines->Strings()) {
            for (const char c : line + '\n') {
                hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001B3;
            }
        }
    }
    EXPECT_EQ(std::tuple(texts.QSOs.Strings().size(), texts.Chat.Strings().size(), hash),
              std::tuple(8u, 32u, uint64_t{0xEC282A8DF1B6C1D6}));
}

// Both stations keep their call signs through the contact.
TEST(ContactGeneratorTest, MarkersAreFilledOrKeptAsWritten) {
    ContactTexts texts;
    texts.QSOs = Lines({"\\A DE \\B = \\V = \\A DE \\B + *"});
    texts.Chat = Lines({"PSE QSL VIA \\C"});
    Random random(5);
    std::string text = BuildContactText(texts, random);
    const std::string calls = WordAt(text, 0) + " DE " + WordAt(text, text.find(" DE ") + 4);
    EXPECT_EQ(Count(text, calls), 2u) << text;
    EXPECT_GT(LetterCount(WordAt(text, 0)), 0u);
    const std::size_t via = text.find("PSE QSL VIA ");
    ASSERT_NE(via, std::string::npos) << text;
    const std::string manager = WordAt(text, via + 12);
    EXPECT_GT(LetterCount(manager), 0u);

    texts.Chat = Lines({"WX HERE IS \\W"});
    text = BuildContactText(texts, random);
    EXPECT_NE(text.find("WX HERE IS \\W ="), std::string::npos) << text;
}

// Prefixes ending in a digit get none of their own; K, N and W prefixes are widened by one of
// Б..Д four times in five, right after their first letter.
TEST(ContactGeneratorTest, CallSignsFollowTheirPrefixRules) {
    constexpr int kDraws = 20000;
    for (const std::string prefix : {"VK1", "G", "K1", "N0", "W"}) {
        const TStringHolder prefixes = Lines({prefix + std::string(5 - prefix.size(), ' ') + "X;"});
        Random random(2024);
        std::map<std::string, int> heads;  // the call up to its district digit, shown as '#'
        int threeLetters = 0;
        for (int i = 0; i < kDraws; ++i) {
            const std::string call = BuildCallSign(prefixes, random, CallSignSuffix::None);
            threeLetters += LetterCount(call) == 3;
            const std::size_t digit = call.find_first_of("0123456789");
            ASSERT_GE(static_cast<uint8_t>(call[digit + 1]), 0xC0) << call;  // one digit only
            if (IsDigit(prefix.back())) {
                ASSERT_EQ(call[digit], prefix.back()) << call;
            }
            ++heads[call.substr(0, digit) + "#"];
        }
        EXPECT_NEAR(threeLetters / double(kDraws), 0.9, 0.01) << prefix;
        const std::string plain =
            (IsDigit(prefix.back()) ? prefix.substr(0, prefix.size() - 1) : prefix) + "#";
        const bool widens = prefix[0] == 'K' || prefix[0] == 'N' || prefix[0] == 'W';
        EXPECT_EQ(heads.size(), widens ? 5u : 1u) << prefix;
        EXPECT_NEAR(heads[plain] / double(kDraws), widens ? 0.2 : 1.0, 0.015) << prefix;
        for (char letter : {'\xC1', '\xC2', '\xC3', '\xC4'}) {
            if (widens) {
                const std::string widened = plain.substr(0, 1) + letter + plain.substr(1);
                EXPECT_NEAR(heads[widened] / double(kDraws), 0.2, 0.015) << prefix;
            }
        }
    }
}

// The calling station may sign portable, the answering one portable or mobile, the QSL
// manager neither.
TEST(ContactGeneratorTest, EachStationFollowsItsOwnSuffixRule) {
    ContactTexts texts;
    texts.QSOs = Lines({"\\A \\B \\V"});
    texts.Chat = Lines({"\\C"});
    constexpr int kDraws = 20000;
    std::map<std::string, int> suffixes[3];
    Random random(99);
    for (int i = 0; i < kDraws; ++i) {
        std::istringstream words(BuildContactText(texts, random));
        for (auto& station : suffixes) {
            std::string call;
            words >> call;
            ++station[call[call.size() - 2] == '/' ? call.substr(call.size() - 2) : ""];
        }
    }
    EXPECT_NEAR(suffixes[0]["/P"], kDraws / 20, 150);
    EXPECT_EQ(suffixes[0]["/M"], 0);
    EXPECT_NEAR(suffixes[1]["/P"], kDraws / 20, 150);
    EXPECT_NEAR(suffixes[1]["/M"], kDraws * 0.95 / 40, 100);
    EXPECT_EQ(suffixes[2][""], kDraws);
}

// Data that breaks the invariants: a line without a blank, an empty line, markers inside the
// inserted texts, empty lists. The generator must finish and insert each text once.
TEST(ContactGeneratorTest, BrokenDataNeitherCrashesNorLoops) {
    EXPECT_EQ(CallSignPrefix("DL"), "DL");
    Random random(1);
    EXPECT_TRUE(IsDigit(BuildCallSign(Lines({""}), random, CallSignSuffix::None)[0]));

    ContactTexts texts;
    texts.QSOs = Lines({"\\A DE \\B \\V \\C"});
    texts.Chat = Lines({"ME \\V AGAIN \\A"});
    texts.Prefixes = Lines({"\\A\\B\\C"});
    const std::string text = BuildContactText(texts, random);
    EXPECT_EQ(Count(text, "ME "), 1u) << text;
    EXPECT_LT(text.size(), 200u) << text;

    // The remark would complete a marker with the backslash before it.
    texts.QSOs = Lines({"\\\\V"});
    texts.Chat = Lines({"V\\"});
    EXPECT_EQ(BuildContactText(texts, random), "\\V\\");

    std::string replaced = "\\A-\\A";
    ReplaceMarker(replaced, "\\A", "x\\A");
    EXPECT_EQ(replaced, "x\\A-x\\A");

    ContactTexts empty;
    for (TStringHolder* holder : {&empty.QSOs, &empty.Chat, &empty.Prefixes}) {
        holder->SetStrings({});
    }
    EXPECT_EQ(BuildContactText(empty, random), "");
    LetterCount(BuildCallSign(empty.Prefixes, random, CallSignSuffix::Portable));
}

}  // namespace
}  // namespace vantrel
