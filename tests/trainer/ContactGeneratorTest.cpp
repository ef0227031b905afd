#include "trainer/ContactGenerator.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace vantrel {
namespace {

bool IsCyrillicCapital(char c) {
    return static_cast<uint8_t>(c) >= 0xC0;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos;
         pos = text.find(part, pos + part.size())) {
        ++n;
    }
    return n;
}

TStringHolder Lines(std::vector<std::string> lines) {
    TStringHolder holder;
    holder.SetStrings(lines);
    return holder;
}

// Splits a call sign into prefix (with the inserted letter), district digit, letters, suffix;
// fails the test when it does not have that shape.
struct CallParts {
    std::string head;
    std::string letters;
    std::string suffix;
};

CallParts Split(const std::string& call) {
    CallParts parts;
    std::string rest = call;
    if (rest.size() > 2 && rest[rest.size() - 2] == '/') {
        parts.suffix = rest.substr(rest.size() - 2);
        rest.resize(rest.size() - 2);
    }
    std::size_t i = rest.size();
    while (i > 0 && IsCyrillicCapital(rest[i - 1])) {
        --i;
    }
    parts.letters = rest.substr(i);
    parts.head = rest.substr(0, i);
    EXPECT_TRUE(!parts.head.empty() && IsDigit(parts.head.back())) << call;
    return parts;
}

TEST(ContactDataTest, ListsMeetTheGeneratorsInvariants) {
    const ContactTexts texts;
    EXPECT_EQ(texts.QSOs.Strings().size(), 8u);
    EXPECT_EQ(texts.Chat.Strings().size(), 32u);
    EXPECT_EQ(texts.Antennas.Strings().size(), 25u);
    EXPECT_EQ(texts.Rigs.Strings().size(), 38u);
    EXPECT_EQ(texts.Names.Strings().size(), 32u);
    EXPECT_EQ(texts.Weather.Strings().size(), 21u);
    const auto& prefixes = texts.Prefixes.Strings();
    ASSERT_EQ(prefixes.size(), 100u);
    std::map<std::string, int> perPrefix;
    for (const std::string& line : prefixes) {
        const std::string prefix(CallSignPrefix(line));
        ASSERT_TRUE(!prefix.empty() && prefix.size() <= 3) << line;
        EXPECT_EQ(line.find_first_not_of(' ', prefix.size()), 5u) << line;  // places at column 6
        ++perPrefix[prefix];
    }
    EXPECT_EQ(perPrefix["G"], 6);
    EXPECT_EQ(perPrefix["UA"], 3);
    EXPECT_EQ(perPrefix["EA"], 2);
    EXPECT_EQ(CallSignPrefix(prefixes.front()), "G");
    EXPECT_EQ(CallSignPrefix(prefixes.back()), "SV");
    int withC = 0;
    int withW = 0;
    for (const std::string& line : texts.Chat.Strings()) {
        EXPECT_EQ(line.find("\\V"), std::string::npos);
        withC += line.find("\\C") != std::string::npos;
        withW += line.find("\\W") != std::string::npos;
    }
    EXPECT_EQ(withC, 3);
    EXPECT_EQ(withW, 2);
    EXPECT_NE(texts.QSOs.Strings()[2].find("\\Z  NAME"), std::string::npos);
}

TEST(ContactGeneratorTest, TextsStartWithTheCallerAndEndWithTheEndOfMessage) {
    const ContactTexts texts;
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        Random random(seed);
        const std::string text = BuildContactText(texts, random);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string caller = text.substr(0, text.find(' '));
        Split(caller);
        EXPECT_TRUE(text.ends_with("+ *") || text.ends_with("+ #")) << text;
        // The caller stands at both places of every template: start and before the end.
        EXPECT_GE(Count(text, caller + " DE "), 2u) << text;
        for (const char* marker : {"\\A", "\\B", "\\C", "\\V"}) {
            EXPECT_EQ(text.find(marker), std::string::npos) << text;
        }
    }
}

TEST(ContactGeneratorTest, TemplateSixNamesBothStationsFourTimes) {
    ContactTexts texts;
    texts.QSOs = Lines({texts.QSOs.Strings()[5]});
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        Random random(seed);
        const std::string text = BuildContactText(texts, random);
        const std::size_t de = text.find(" DE ");
        const std::string caller = text.substr(0, text.find(' '));
        const std::size_t calledStart = de + 4;
        const std::string called =
            text.substr(calledStart, text.find(' ', calledStart) - calledStart);
        EXPECT_EQ(Count(text, caller + " "), 4u) << text;
        EXPECT_EQ(Count(text, called + " "), 4u) << text;
        EXPECT_TRUE(text.starts_with(caller + " " + caller + " DE " + called + " " + called));
    }
}

TEST(ContactGeneratorTest, RemarkMarkersAreFilledOrKeptAsWritten) {
    ContactTexts texts;
    texts.QSOs = Lines({"\\A DE \\B = \\V = \\A DE \\B + *"});
    texts.Chat = Lines({"PSE QSL VIA \\C"});
    Random random(5);
    std::string text = BuildContactText(texts, random);
    const std::size_t via = text.find("PSE QSL VIA ");
    ASSERT_NE(via, std::string::npos) << text;
    const std::size_t callStart = via + 12;
    Split(text.substr(callStart, text.find(' ', callStart) - callStart));

    texts.Chat = Lines({"WX HERE IS \\W"});
    text = BuildContactText(texts, random);
    EXPECT_NE(text.find("WX HERE IS \\W ="), std::string::npos) << text;
}

TEST(ContactGeneratorTest, CallSignsFollowTheirPrefixRules) {
    const std::pair<std::string, std::string> cases[] = {{"VK1  CANBERRA", "VK1"},
                                                         {"EA6  PALMA;", "EA6"},
                                                         {"G    YORK;", "G"},
                                                         {"DL   BERLIN;", "DL"}};
    for (const auto& [line, prefix] : cases) {
        const TStringHolder prefixes = Lines({line});
        Random random(11);
        std::map<std::size_t, int> letterCounts;
        for (int i = 0; i < 2000; ++i) {
            const std::string call = BuildCallSign(prefixes, random, CallSignSuffix::None);
            const CallParts parts = Split(call);
            ASSERT_TRUE(parts.suffix.empty()) << call;
            ASSERT_TRUE(parts.head.starts_with(prefix)) << call;
            // A prefix ending in a digit gets none of its own.
            ASSERT_EQ(parts.head.size(), prefix.size() + (IsDigit(prefix.back()) ? 0 : 1)) << call;
            ++letterCounts[parts.letters.size()];
        }
        EXPECT_EQ(letterCounts.size(), 2u);
        EXPECT_NEAR(letterCounts[3] / 2000.0, 0.9, 0.03) << prefix;
    }
}

TEST(ContactGeneratorTest, KnwPrefixesAreWidenedFourTimesInFive) {
    for (const std::string line : {"K1   BOSTON;", "N0   OMAHA;", "W6   FRESNO;"}) {
        const TStringHolder prefixes = Lines({line});
        Random random(2024);
        constexpr int kDraws = 20000;
        std::map<uint8_t, int> inserted;
        int plain = 0;
        for (int i = 0; i < kDraws; ++i) {
            const std::string call = BuildCallSign(prefixes, random, CallSignSuffix::None);
            ASSERT_EQ(call[0], line[0]) << call;
            if (IsDigit(call[1])) {
                ++plain;
            } else {
                ASSERT_EQ(call[2], line[1]) << call;
                ++inserted[static_cast<uint8_t>(call[1])];
            }
        }
        EXPECT_NEAR(plain / double(kDraws), 0.2, 0.015) << line;
        ASSERT_EQ(inserted.size(), 4u) << line;
        for (uint8_t letter = 0xC1; letter <= 0xC4; ++letter) {  // Б, В, Г, Д
            EXPECT_NEAR(inserted[letter] / double(kDraws), 0.2, 0.015) << line << int(letter);
        }
    }
}

TEST(ContactGeneratorTest, OnlyTheAnsweringStationGoesMobile) {
    const ContactTexts texts;
    constexpr int kDraws = 40000;
    Random random(99);
    std::map<CallSignSuffix, std::map<std::string, int>> suffixes;
    for (auto rule :
         {CallSignSuffix::None, CallSignSuffix::Portable, CallSignSuffix::PortableOrMobile}) {
        for (int i = 0; i < kDraws; ++i) {
            ++suffixes[rule][Split(BuildCallSign(texts.Prefixes, random, rule)).suffix];
        }
    }
    EXPECT_EQ(suffixes[CallSignSuffix::None][""], kDraws);
    EXPECT_EQ(suffixes[CallSignSuffix::Portable]["/M"], 0);
    EXPECT_NEAR(suffixes[CallSignSuffix::Portable]["/P"] / double(kDraws), 0.05, 0.006);
    EXPECT_NEAR(suffixes[CallSignSuffix::PortableOrMobile]["/P"] / double(kDraws), 0.05, 0.006);
    EXPECT_NEAR(suffixes[CallSignSuffix::PortableOrMobile]["/M"] / double(kDraws), 0.95 / 40,
                0.003);
}

// Data that breaks the invariants: a line without a blank, an empty line, markers inside the
// inserted texts, empty lists. The generator must finish and insert each text once.
TEST(ContactGeneratorTest, BrokenDataNeitherCrashesNorLoops) {
    EXPECT_EQ(CallSignPrefix("DL"), "DL");
    EXPECT_EQ(CallSignPrefix(""), "");

    Random random(1);
    const std::string fromEmptyLine = BuildCallSign(Lines({""}), random, CallSignSuffix::None);
    EXPECT_TRUE(IsDigit(fromEmptyLine[0])) << fromEmptyLine;
    Split(fromEmptyLine);

    ContactTexts texts;
    texts.QSOs = Lines({"\\A DE \\B \\V \\C"});
    texts.Chat = Lines({"ME \\V AGAIN \\A"});
    texts.Prefixes = Lines({"\\A\\B\\C"});
    const std::string text = BuildContactText(texts, random);
    EXPECT_EQ(Count(text, "ME "), 1u) << text;
    EXPECT_LT(text.size(), 200u) << text;

    // The remark completes a marker with the backslash before it.
    texts.QSOs = Lines({"\\\\V"});
    texts.Chat = Lines({"V\\"});
    EXPECT_EQ(BuildContactText(texts, random), "\\V\\");

    ContactTexts empty;
    for (TStringHolder* holder : {&empty.QSOs, &empty.Chat, &empty.Prefixes}) {
        holder->SetStrings({});
    }
    EXPECT_EQ(BuildContactText(empty, random), "");
    Split(BuildCallSign(empty.Prefixes, random, CallSignSuffix::Portable));
}

TEST(ReplaceMarkerTest, ReplacesEveryMarkerOnceLeftToRight) {
    std::string text = "\\A-\\A\\A";
    ReplaceMarker(text, "\\A", "x\\Ay");
    EXPECT_EQ(text, "x\\Ay-x\\Ayx\\Ay");
    text = "\\\\V";
    ReplaceMarker(text, "\\V", "V");  // would form a new marker with the backslash before it
    EXPECT_EQ(text, "\\V");
    text = "\\B\\B";
    ReplaceMarker(text, "\\B", "");
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace vantrel
