// The character drill ("Узнавание знаков"): one character at a time from a set, the learner
// types it, and the time from the end of the character at the ear to the key press is its
// response time. What the drill knows of each character comes from that character's answers
// in time order (every answer ever given, from the history), so the same answers always give
// the same choices.
//
// Weight. Each character of the set carries a debt:
//
//     debt  <-  debt / 2 + penalty     penalty 4 for a wrong answer, 2 for a right answer slower
//                                      than the response target, 0 for one within it
//     weight = 1 + debt
//
// so every answer halves what the earlier ones added: a character always answered wrong tends
// to weight 9, one always slow to 5, one always in time to 1; after one wrong answer the
// weight falls 5, 3, 2, 1.5, ... as answers in time follow. Weights are whole millionths.
//
// Review across sessions (wall-clock time). A character answered right within the target for
// the first time is due again one day later. Answered right within the target when due (or
// later), it is due again after twice the last interval: 1, 2, 4, 8, ... days, at most 64. A
// wrong answer takes it off the schedule, and the next right answer in time starts it again
// at one day. Slow answers, and answers before it is due, leave the schedule as it is.
//
// Choice. The next character is drawn with a probability proportional to its weight: among
// the characters that are due when any of the set is, otherwise among all of them.
//
// Mastery. A character is known when at least 95% of its last 20 answers (19 of 20) were right
// and the median response time of those right answers is below the target. A median of an
// even count is the mean of the middle two, rounded down.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "progress/KochLessons.h"
#include "progress/WallClock.h"

namespace vantrel::progress {

// The sets of the drill; stored as the number, a number outside the range brought to the
// nearest end.
enum class DrillSet : int { Lesson = 0, Latin = 1, Cyrillic = 2, Digits = 3, Signs = 4 };
inline constexpr int kFirstDrillSet = 0;
inline constexpr int kLastDrillSet = 4;

DrillSet DrillSetFromNumber(int number);
// The characters of a set (Windows-1251): the Koch lesson's (as LessonCharacters), A..Z,
// А..Я without Ъ (which has no code), 0..9, or the signs . , ? / = - + @.
std::string DrillSetCharacters(DrillSet set, KochAlphabet alphabet, int lesson);

struct DrillAnswer {
    int64_t timeUnix = 0;     // when the answer was given, seconds since 1970 UTC
    int64_t sessionUnix = 0;  // when its drill started: the answers of one drill share it
    unsigned char sent = 0;   // the character asked (Windows-1251)
    unsigned char typed = 0;  // the key typed, upper-cased; 0 for none
    bool right = false;       // typed is the character asked
    int responseMs = 0;       // from the end of the character at the ear to the key press
    int speed = 0;            // groups per minute the character was keyed at
    friend bool operator==(const DrillAnswer&, const DrillAnswer&) = default;
};

inline constexpr int kMasteryAnswers = 20;
inline constexpr int kMasteryPercent = 95;
inline constexpr int64_t kFirstReviewSeconds = 24 * 3600;
inline constexpr int64_t kLongestReviewSeconds = 64 * kFirstReviewSeconds;
inline constexpr uint32_t kDrillWeightMillionths = 1'000'000;

// The median of `values` (the mean of the middle two, rounded down, for an even count); 0 for
// none.
int MedianOf(std::vector<int> values);

struct CharacterMastery {
    int answers = 0;   // of the last 20 (fewer while fewer were given)
    int right = 0;     // of them
    int medianMs = 0;  // of the right ones' response times; 0 without any
    bool known = false;
};

// The mastery of one character from its answers in time order (only the last 20 count).
CharacterMastery MasteryOf(const std::vector<DrillAnswer>& answersInOrder, int targetMs);
// Per character, the mastery from `answers` (any characters, in time order).
std::map<unsigned char, CharacterMastery> MasteryByCharacter(
    const std::vector<DrillAnswer>& answers, int targetMs);

// The drill's offer of the next Koch lesson, beside the copy check's 90% rule (KochLessons.h):
// every character of the lesson known from `answers`, the drill's answers in time order.
bool DrillEarnsNextLesson(KochAlphabet alphabet, int lesson,
                          const std::vector<DrillAnswer>& answers, int targetMs);

// Uniform in 0..n-1: the program's seeded random source.
using UniformDraw = std::function<uint32_t(uint32_t n)>;

class CharacterDrill {
  public:
    // The drill over `characters` (Windows-1251, repeats count once), having learned
    // `history` (answers in time order; other characters are left out), slow from `targetMs`.
    CharacterDrill(std::string_view characters, int targetMs,
                   const std::vector<DrillAnswer>& history, WallClock clock, UniformDraw draw);

    // The character to ask next (a blank for an empty set).
    unsigned char Next() const;
    // Learns one answer, given at answer.timeUnix; answers to other characters are left out.
    void Learn(const DrillAnswer& answer);

    const std::string& Characters() const { return characters_; }
    uint32_t Weight(unsigned char c) const;
    // When `c` is due for review, seconds since 1970; 0 while it is not on the schedule.
    int64_t ReviewDue(unsigned char c) const;
    CharacterMastery Mastery(unsigned char c) const;
    // True when every character of the set is known: a lesson's set earns the next lesson.
    bool KnowsAll() const;

  private:
    struct Knowledge {
        uint32_t debt = 0;  // millionths
        int64_t due = 0;
        int64_t interval = 0;             // seconds from the last review to `due`
        std::vector<DrillAnswer> recent;  // the last 20, oldest first
    };
    const Knowledge* Find(unsigned char c) const;

    std::string characters_;
    std::vector<Knowledge> knowledge_;  // in the order of characters_
    int targetMs_;
    WallClock clock_;
    UniformDraw draw_;
};

}  // namespace vantrel::progress
