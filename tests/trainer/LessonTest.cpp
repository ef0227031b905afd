// Koch lessons and the weak-character drill, as the text builder draws them.
#include <gtest/gtest.h>

#include <map>

#include "progress/CheckComparison.h"
#include "progress/KochLessons.h"
#include "support/Cp1251.h"
#include "trainer/Keyer.h"
#include "trainer/Limits.h"
#include "trainer/PracticeTextBuilder.h"

namespace vantrel {
namespace {

using progress::KochAlphabet;

std::string Cp(const char* utf8) {
    return cp1251::FromUtf8(utf8);
}

struct FixedHistory : progress::CharacterHistory {
    std::map<unsigned char, progress::AttemptTally> tallies;
    std::map<unsigned char, progress::AttemptTally> RecentTallies(int last) const override {
        EXPECT_EQ(last, 50);
        return tallies;
    }
};

class LessonTest : public testing::Test {
  protected:
    // Share of each character among the groups of 20 texts of lesson 4 from one seed.
    std::map<char, double> Shares(TextType type, const progress::CharacterHistory* history) {
        Random random(7);
        const ContactTexts contacts;
        PracticeTextBuilder builder(random, contacts);
        std::map<char, double> shares;
        for (int i = 0; i < 20; ++i) {
            const std::string text =
                builder.Build({type, {}, {}, KochAlphabet::Latin, 4, history}).text;
            EXPECT_EQ(text.size(), 907u);
            for (std::size_t k = 6; k + 1 < text.size(); ++k) {
                EXPECT_EQ(text[k] == ' ', k % 6 == 5) << k;  // five characters and a blank
                shares[text[k]] += text[k] == ' ' ? 0 : 1.0 / (20 * 750);
            }
        }
        shares.erase(' ');
        return shares;
    }
};

TEST_F(LessonTest, LessonsTeachTheFirstCharactersOfEachOrder) {
    EXPECT_EQ(progress::LessonCharacters(KochAlphabet::Latin, 1), "KM");
    EXPECT_EQ(progress::LessonCharacters(KochAlphabet::Latin, 10), "KMURESNAPTL");
    EXPECT_EQ(progress::LastLesson(KochAlphabet::Latin), 40);
    EXPECT_EQ(progress::LessonCharacters(KochAlphabet::Latin, 40),
              "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X");
    EXPECT_EQ(progress::LessonCharacters(KochAlphabet::Cyrillic, 1), Cp("КМ"));
    EXPECT_EQ(progress::LastLesson(KochAlphabet::Cyrillic), 45);
    EXPECT_EQ(progress::LessonCharacters(KochAlphabet::Cyrillic, 99).substr(41), Cp("ЧШЭЮЯ"));
    EXPECT_EQ(progress::LessonCharacters(KochAlphabet::Cyrillic, 0).size(), 2u);
    // The Cyrillic order keys exactly as the Latin one up to its own letters.
    const std::string_view latin = progress::KochOrder(KochAlphabet::Latin);
    const std::string_view cyrillic = progress::KochOrder(KochAlphabet::Cyrillic);
    for (std::size_t i = 0; i < latin.size(); ++i) {
        EXPECT_EQ(MorseCode(latin[i]), MorseCode(cyrillic[i])) << i;
    }
}

TEST_F(LessonTest, NextLessonIsOfferedFromNinetyPerCentRight) {
    const std::string keyed = Cp("ЖЖЖ = ") + "KMKMK MKMKM KMKMK MKMKM ";  // 20 characters sent
    // Counted as the learner's statistics count a copy.
    auto earns = [&keyed](const char* copy) {
        const progress::CheckComparison comparison = progress::CompareCopy(keyed, copy);
        return progress::OffersNextLesson(comparison.rightCount, comparison.sentCount);
    };
    EXPECT_TRUE(earns("kmkmk mkmkm kmkmk mkm"));    // 18: 90%
    EXPECT_FALSE(earns("kmkmk mkmkm kmkmk mk"));    // 17: 85%
    EXPECT_TRUE(earns("kmkmk mkmm kmkmk mkxkmm"));  // 18 of 20
    EXPECT_FALSE(progress::OffersNextLesson(0, 0));
}

TEST_F(LessonTest, DrillFavoursACharacterByItsRecentErrorRate) {
    FixedHistory history;
    history.tallies['K'] = {50, 25};  // weight 1 + 4 * 25 / 50 = 3
    history.tallies['M'] = {50, 0};
    history.tallies['X'] = {50, 50};  // not in the lesson
    // K: 3 of 3 + 1 + 1 + 1 + 1.
    std::map<char, double> shares = Shares(TextType::WeakCharacters, &history);
    EXPECT_NEAR(shares['K'], 3.0 / 7, 0.02);
    EXPECT_NEAR(shares['E'], 1.0 / 7, 0.02);
    EXPECT_EQ(shares.count('X'), 0u);
    // No history, and a lesson text: uniform over the lesson's characters and nothing else.
    for (TextType type : {TextType::WeakCharacters, TextType::Lesson}) {
        shares = Shares(type, nullptr);
        EXPECT_EQ(shares.size(), 5u);
        for (const auto& [c, share] : shares) {
            EXPECT_NEAR(share, 0.2, 0.02) << c;
            EXPECT_NE(std::string_view("KMURE").find(c), std::string_view::npos) << c;
        }
    }
}

}  // namespace
}  // namespace vantrel
