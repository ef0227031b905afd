#include "progress/KochLessons.h"

#include <algorithm>

#include "progress/KochOrderCyrillic.h"
#include "progress/KochOrderLatin.h"
#include "support/Cp1251.h"

namespace vantrel::progress {

namespace {

// "ЖЖЖ = ", which opens every practice text and which the learner does not copy.
constexpr std::size_t kPreambleLength = 6;

}  // namespace

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

bool OffersNextLesson(const Alignment& alignment) {
    if (alignment.sentCount <= 0) {
        return false;
    }
    return 100LL * alignment.rightCount >= 1LL * kNextLessonPercent * alignment.sentCount;
}

bool CopyEarnsNextLesson(std::string_view keyedCp1251, std::string_view copyCp1251) {
    const std::string_view sent =
        keyedCp1251.size() > kPreambleLength ? keyedCp1251.substr(kPreambleLength) : "";
    return OffersNextLesson(Align(sent, cp1251::ToUpper(copyCp1251)));
}

}  // namespace vantrel::progress
