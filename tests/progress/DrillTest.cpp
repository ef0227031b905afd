// The recognition drills' rules on scripted answers: the character drill's weights, review
// schedule and mastery with the lesson offer, the sprint's speed and score, the statistics.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "progress/CallSignSprint.h"
#include "progress/CharacterDrill.h"
#include "progress/Statistics.h"
#include "trainer/Keyer.h"
#include "trainer/Limits.h"
#include "trainer/Random.h"

namespace vantrel::progress {
namespace {

constexpr int64_t kNow = 1'796'000'000;
constexpr int64_t kDay = 24 * 3600;
constexpr int kTarget = 700;

// 'W' a wrong answer, 'S' a right one slower than the target, 'T' one right at the target
// (slow too), 'R' a right one in time.
DrillAnswer Answer(unsigned char c, char kind, int64_t time = kNow, int ms = 400) {
    const bool right = kind != 'W';
    return {time,  kNow,
            c,     right ? c : uint8_t{'?'},
            right, kind == 'S' ? 900 : kind == 'T' ? kTarget : ms,
            20};
}

std::vector<DrillAnswer> Script(unsigned char c, std::string_view kinds) {
    std::vector<DrillAnswer> answers;
    for (char kind : kinds) {
        answers.push_back(Answer(c, kind));
    }
    return answers;
}

class DrillTest : public ::testing::Test {
  protected:
    CharacterDrill Drill(std::string_view set, const std::vector<DrillAnswer>& history) {
        return CharacterDrill(
            set, kTarget, history, [this] { return now_; },
            [this](uint32_t n) { return random_(n); });
    }
    std::map<unsigned char, double> Shares(const CharacterDrill& drill, int draws) {
        std::map<unsigned char, double> shares;
        for (int i = 0; i < draws; ++i) {
            shares[drill.Next()] += 1.0 / draws;
        }
        return shares;
    }

    Random random_{21};
    int64_t now_ = kNow;
};

TEST_F(DrillTest, WrongAndSlowAnswersWeighMoreAndDecayAsAnswersComeInTime) {
    for (auto [kinds, weight] : {std::pair{"", 1'000'000},
                                 {"W", 5'000'000},
                                 {"S", 3'000'000},
                                 {"T", 3'000'000},
                                 {"WR", 3'000'000},
                                 {"WRRR", 1'500'000},
                                 {"WWW", 8'000'000},
                                 {"RSW", 6'000'000}}) {
        EXPECT_EQ(Drill("E", Script('E', kinds)).Weight('E'), static_cast<uint32_t>(weight))
            << kinds;
    }
    // Drawn in proportion 5 : 3 : 1.
    std::vector<DrillAnswer> history = Script('A', "W");
    history.push_back(Answer('B', 'S'));
    std::map<unsigned char, double> shares = Shares(Drill("ABC", history), 18000);
    EXPECT_NEAR(shares['A'], 5.0 / 9, 0.01);
    EXPECT_NEAR(shares['B'], 3.0 / 9, 0.01);
    EXPECT_NEAR(shares['C'], 1.0 / 9, 0.01);
    // A character due for review comes before all others, of whatever weight, until answered.
    history.push_back(Answer('C', 'R', kNow - kDay));  // due this very second
    history.push_back(Answer('D', 'R'));               // due tomorrow
    CharacterDrill drill = Drill("ABCD", history);
    EXPECT_DOUBLE_EQ(Shares(drill, 100)['C'], 1.0);
    drill.Learn(Answer('C', 'R'));
    EXPECT_NEAR(Shares(drill, 9000)['A'], 5.0 / 10, 0.02);
}

TEST_F(DrillTest, ReviewIntervalsDoubleForRightAnswersWhenDueAndAWrongOneStartsAgain) {
    CharacterDrill drill = Drill("K", {});
    // (answer, at day, due at day after it; -1: off the schedule)
    const std::tuple<char, double, double> script[] = {
        {'R', 0, 1},  {'R', 0.5, 1}, {'R', 1, 3},   {'S', 3, 3},   {'R', 3, 7},
        {'R', 7, 15}, {'W', 16, -1}, {'S', 16, -1}, {'R', 16, 17}, {'R', 17, 19},
    };
    for (auto [kind, day, due] : script) {
        drill.Learn(Answer('K', kind, kNow + static_cast<int64_t>(day * kDay)));
        EXPECT_EQ(drill.ReviewDue('K'), due < 0 ? 0 : kNow + static_cast<int64_t>(due * kDay))
            << kind << " at day " << day;
    }
    // Doubling stops at 64 days.
    for (int64_t at = drill.ReviewDue('K'), step = 0; step < 8; ++step) {
        drill.Learn(Answer('K', 'R', at));
        EXPECT_EQ(drill.ReviewDue('K') - at, std::min<int64_t>(4 << step, 64) * kDay);
        at = drill.ReviewDue('K');
    }
}

TEST_F(DrillTest, ACharacterIsKnownAtNineteenOfItsLastTwentyWithAMedianUnderTheTarget) {
    // (answers, response of the right ones, target, known, median)
    const std::tuple<std::string, int, int, bool, int> cases[] = {
        {std::string(20, 'R'), 600, 700, true, 600},
        {std::string(19, 'R') + "W", 600, 700, true, 600},
        {"WRRRR" + std::string(15, 'R'), 600, 700, true, 600},
        {std::string(18, 'R') + "WW", 600, 700, false, 600},
        {std::string(19, 'R'), 600, 700, false, 600},
        {std::string(20, 'R'), 700, 700, false, 700},
        {"WWWWW" + std::string(20, 'R'), 600, 700, true, 600},
    };
    for (const auto& [kinds, ms, target, known, median] : cases) {
        std::vector<DrillAnswer> answers;
        for (char kind : kinds) {
            answers.push_back(Answer('K', kind, kNow, ms));
        }
        const CharacterMastery mastery = MasteryOf(answers, target);
        EXPECT_EQ(std::tuple(mastery.known, mastery.medianMs), std::tuple(known, median)) << kinds;
    }
    // An even count: the mean of the middle two, rounded down.
    EXPECT_EQ(MedianOf({600, 801, 5, 9000}), 700);
    EXPECT_EQ(MedianOf({}), 0);
    // The whole set known (the lesson offer is the session's test).
    std::vector<DrillAnswer> answers = Script('K', std::string(20, 'R'));
    for (const DrillAnswer& answer : Script('M', std::string(19, 'R') + "W")) {
        answers.push_back(answer);
    }
    CharacterDrill drill = Drill("KM", answers);
    EXPECT_TRUE(drill.KnowsAll());
    drill.Learn(Answer('M', 'W'));
    EXPECT_FALSE(drill.KnowsAll());
    EXPECT_EQ(MasteryByCharacter(answers, kTarget).at('M').right, 19);
}

TEST_F(DrillTest, EverySetKeysEachOfItsCharactersDistinctly) {
    for (auto [set, size] : {std::pair{DrillSet::Latin, 26},
                             {DrillSet::Cyrillic, 31},
                             {DrillSet::Digits, 10},
                             {DrillSet::Signs, 8}}) {
        const std::string characters = DrillSetCharacters(set, KochAlphabet::Latin, 1);
        std::set<std::string_view> codes;
        for (char c : characters) {
            codes.insert(MorseCode(static_cast<uint8_t>(c)));
        }
        EXPECT_EQ(std::tuple(characters.size(), codes.size(), codes.count({})),
                  std::tuple(std::size_t(size), std::size_t(size), std::size_t(0)));
    }
    EXPECT_EQ(DrillSetCharacters(DrillSet::Lesson, KochAlphabet::Latin, 3), "KMUR");
    EXPECT_EQ(std::pair(DrillSetFromNumber(9), DrillSetFromNumber(-1)),
              std::pair(DrillSet::Signs, DrillSet::Lesson));
}

TEST_F(DrillTest, SprintSpeedStepsUpAfterARightCallAndDownAfterAWrongOneWithinItsRange) {
    const SprintSpeeds speeds{limits::kSprintSpeedMin, limits::kSprintSpeedMax,
                              limits::kSprintSpeedStep};
    // (start, answers: '+' right, '-' one character wrong, 'r' right after a repeat, speeds)
    const std::tuple<int, std::string, std::vector<int>> cases[] = {
        {96, "+++-+", {96, 98, 100, 100, 98}},
        {11, "--+r-", {11, 10, 10, 12, 14}},
        {150, "-", {100}},
        {4, "+", {10}},
    };
    for (const auto& [start, answers, expected] : cases) {
        CallSignSprint sprint(std::vector<std::string>(60, "UA3ABC"), start, speeds);
        std::vector<int> keyed;
        for (char answer : answers) {
            keyed.push_back(sprint.Speed());
            if (answer == 'r') {
                EXPECT_TRUE(sprint.Repeat() && !sprint.Repeat());  // one repeat per call
            }
            sprint.Answer(answer == '-' ? "ua3abd" : answer == 'r' ? "ua3abc" : "UA3 ABC");
        }
        // The start as brought into range; a repeat counts for its own call only.
        EXPECT_EQ(std::tuple(keyed, sprint.Run().startSpeed, sprint.Run().calls.back().repeated),
                  std::tuple(expected, expected[0], answers.back() == 'r'))
            << answers;
    }
    CallSignSprint sprint(std::vector<std::string>(60, "UA3ABC"), 20, speeds);
    for (int i = 0; i < kSprintCalls; ++i) {
        EXPECT_EQ(sprint.Call(), "UA3ABC");
        sprint.Answer(i % 2 ? "UA3ABC" : "x");
    }
    EXPECT_TRUE(sprint.Finished());
    EXPECT_FALSE(sprint.Repeat());
    EXPECT_EQ(sprint.Answer("UA3ABC"), SprintCall{});
    EXPECT_EQ(std::tuple(sprint.Run().calls.size(), sprint.Run().CallsRight()),
              std::tuple(std::size_t(50), 25));
}

TEST_F(DrillTest, CallsScoreByLengthAndSpeedWithHalfForOneErrorOrARepeat) {
    // (sent, typed, speed, repeated, points)
    const std::tuple<std::string, std::string, int, bool, int> cases[] = {
        {"UA3ABC", "UA3ABC", 30, false, 180},   {"UA3ABC", "UA3ADC", 30, false, 90},
        {"UA3ABC", "UA3AC", 30, false, 90},     {"UA3ABC", "UA3ABCC", 30, false, 90},
        {"UA3ABC", "UA3XYC", 30, false, 0},     {"UA3ABC", "", 30, false, 0},
        {"UA3ABC", "UA3ABC", 30, true, 90},     {"UA3ABCD", "UA3ABCE", 31, true, 54},
        {"UA3ABCD", "UA3ABCE", 31, false, 108}, {"R3AB/P", "R3AB/P", 100, false, 600},
    };
    SprintRun run;
    for (const auto& [sent, typed, speed, repeated, points] : cases) {
        run.calls.push_back({sent, typed, speed, repeated});
        EXPECT_EQ(CallPoints(run.calls.back()), points) << sent << " " << typed;
    }
    EXPECT_EQ(std::tuple(run.Score(), run.TopSpeed(), run.CallsRight()), std::tuple(1302, 100, 3));
    // Per character as a check counts them, for the statistics.
    EXPECT_EQ(ErrorNotation(run.Pairs()),
              "D→E×2 A→X×1 B→D×1 B→Y×1 A→∅×2 B→∅×2 3→∅×1 C→∅×1 U→∅×1 ∅→C×1");
    EXPECT_EQ(AlignCall(run.calls[2]).rightCount, 5);
}

TEST_F(DrillTest, ResponseMediansSlowestFirstAndTheirTrendPerDrill) {
    std::vector<DrillAnswer> answers;
    for (auto [session, c, right, ms] : {std::tuple{1, 'E', true, 500},
                                         {1, 'E', true, 700},
                                         {1, 'T', true, 900},
                                         {1, 'T', false, 100},
                                         {2, 'E', true, 300},
                                         {2, 'T', false, 100},
                                         {3, 'E', true, 400}}) {
        answers.push_back({session, session, static_cast<unsigned char>(c),
                           static_cast<unsigned char>(c), right, ms, 20});
    }
    EXPECT_EQ(ResponseMedians(answers),
              (std::vector<CharacterResponse>{{'T', 3, 1, 900}, {'E', 4, 4, 450}}));
    EXPECT_EQ(ResponseTrend(answers, 'E'),
              (std::vector<ResponsePoint>{{1, 2, 600}, {2, 1, 300}, {3, 1, 400}}));
}

}  // namespace
}  // namespace vantrel::progress
