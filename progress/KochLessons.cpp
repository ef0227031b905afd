#include "progress/KochLessons.h"

#include <algorithm>

#include "progress/CheckComparison.h"
#include "progress/KochOrderCyrillic.h"
#include "progress/KochOrderLatin.h"

namespace vantrel::progress {

KochAlphabet KochAlphabetFromNumber(int number) {
    return static_cast<KochAlphabet>(std::clamp(number, kFirstKochAlphabet, kLastKochAlphabet));
}

std::string_view KochOrder(KochAlphabet alphabet) {
    return alphabet == KochAlphabet::Cyrillic ? KochOrderCyrillic() : KochOrderLatin();
}

int LastLesson(KochAlphabet alphabet) {
    return static_cast<int>(KochOrder(alphabet).size()) - 1;
}

int ClampLesson(KochAlphabet alphabet, int lesson) {
    return std::clamp(lesson, kFirstLesson, LastLesson(alphabet));
}

std::string_view LessonCharacters(KochAlphabet alphabet, int lesson) {
    return KochOrder(alphabet).substr(0,
                                      static_cast<std::size_t>(ClampLesson(alphabet, lesson)) + 1);
}

bool OffersNextLesson(int rightCount, int sentCount) {
    return sentCount > 0 && 100LL * rightCount >= 1LL * kNextLessonPercent * sentCount;
}

bool CopyEarnsNextLesson(std::string_view keyedCp1251, std::string_view copyCp1251) {
    const CheckComparison comparison = CompareCopy(keyedCp1251, copyCp1251);
    return OffersNextLesson(comparison.rightCount, comparison.sentCount);
}

}  // namespace vantrel::progress
