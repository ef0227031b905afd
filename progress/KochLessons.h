// Koch lessons: lesson N teaches the first N + 1 characters of an alphabet's Koch order, and a
// check with at least 90% of the sent characters copied right earns the offer of the next one;
// so does the character drill once it knows every character of the lesson (CharacterDrill.h).
#pragma once

#include <string_view>

namespace vantrel::progress {

// Stored as its number; a stored value outside the range is brought to the nearest end.
enum class KochAlphabet : int { Latin = 0, Cyrillic = 1 };

inline constexpr int kFirstKochAlphabet = 0;
inline constexpr int kLastKochAlphabet = 1;
inline constexpr int kFirstLesson = 1;
// Share of the sent characters to copy right for the next lesson, in per cent.
inline constexpr int kNextLessonPercent = 90;

KochAlphabet KochAlphabetFromNumber(int number);
std::string_view KochOrder(KochAlphabet alphabet);
// The lesson that teaches the whole order.
int LastLesson(KochAlphabet alphabet);
// `lesson` brought into 1..LastLesson(alphabet).
int ClampLesson(KochAlphabet alphabet, int lesson);
// The first lesson + 1 characters of the order (the lesson clamped first), Windows-1251.
std::string_view LessonCharacters(KochAlphabet alphabet, int lesson);

// True when at least 90% of the sent characters were copied right (nothing sent: false). A copy
// counts as the learner's statistics count it (CompareCopy): blanks and line breaks do not.
bool OffersNextLesson(int rightCount, int sentCount);

}  // namespace vantrel::progress
