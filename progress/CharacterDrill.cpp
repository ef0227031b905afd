#include "progress/CharacterDrill.h"

#include <algorithm>

namespace vantrel::progress {

namespace {

constexpr uint32_t kWrongPenalty = 4 * kDrillWeightMillionths;
constexpr uint32_t kSlowPenalty = 2 * kDrillWeightMillionths;

std::string Range(char first, char last, char without = 0) {
    std::string characters;
    for (int c = static_cast<unsigned char>(first); c <= static_cast<unsigned char>(last); ++c) {
        if (static_cast<char>(c) != without) {
            characters += static_cast<char>(c);
        }
    }
    return characters;
}

}  // namespace

DrillSet DrillSetFromNumber(int number) {
    return static_cast<DrillSet>(std::clamp(number, kFirstDrillSet, kLastDrillSet));
}

std::string DrillSetCharacters(DrillSet set, KochAlphabet alphabet, int lesson) {
    switch (set) {
        case DrillSet::Lesson:
            return std::string(LessonCharacters(alphabet, lesson));
        case DrillSet::Latin:
            return Range('A', 'Z');
        case DrillSet::Cyrillic:
            return Range('\xC0', '\xDF', '\xDA');
        case DrillSet::Digits:
            return Range('0', '9');
        case DrillSet::Signs:
            break;
    }
    return ".,?/=-+@";
}

int MedianOf(std::vector<int> values) {
    if (values.empty()) {
        return 0;
    }
    const std::size_t half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + half, values.end());
    if (values.size() % 2 == 1) {
        return values[half];
    }
    const int upper = values[half];
    const int lower = *std::max_element(values.begin(), values.begin() + half);
    return static_cast<int>((static_cast<int64_t>(lower) + upper) / 2);
}

CharacterMastery MasteryOf(const std::vector<DrillAnswer>& answersInOrder, int targetMs) {
    CharacterMastery mastery;
    std::vector<int> times;
    const std::size_t first = answersInOrder.size() > static_cast<std::size_t>(kMasteryAnswers)
                                  ? answersInOrder.size() - kMasteryAnswers
                                  : 0;
    for (std::size_t i = first; i < answersInOrder.size(); ++i) {
        ++mastery.answers;
        if (answersInOrder[i].right) {
            ++mastery.right;
            times.push_back(answersInOrder[i].responseMs);
        }
    }
    mastery.medianMs = MedianOf(std::move(times));
    mastery.known = mastery.answers == kMasteryAnswers &&
                    100 * mastery.right >= kMasteryPercent * kMasteryAnswers &&
                    mastery.medianMs < targetMs;
    return mastery;
}

std::map<unsigned char, CharacterMastery> MasteryByCharacter(
    const std::vector<DrillAnswer>& answers, int targetMs) {
    std::map<unsigned char, std::vector<DrillAnswer>> byCharacter;
    for (const DrillAnswer& answer : answers) {
        byCharacter[answer.sent].push_back(answer);
    }
    std::map<unsigned char, CharacterMastery> mastery;
    for (const auto& [c, own] : byCharacter) {
        mastery[c] = MasteryOf(own, targetMs);
    }
    return mastery;
}

bool DrillEarnsNextLesson(KochAlphabet alphabet, int lesson,
                          const std::vector<DrillAnswer>& answers, int targetMs) {
    const std::map<unsigned char, CharacterMastery> mastery = MasteryByCharacter(answers, targetMs);
    const std::string_view characters = LessonCharacters(alphabet, lesson);
    return std::all_of(characters.begin(), characters.end(), [&mastery](char c) {
        const auto found = mastery.find(static_cast<unsigned char>(c));
        return found != mastery.end() && found->second.known;
    });
}

CharacterDrill::CharacterDrill(std::string_view characters, int targetMs,
                               const std::vector<DrillAnswer>& history, WallClock clock,
                               UniformDraw draw)
    : targetMs_(targetMs), clock_(std::move(clock)), draw_(std::move(draw)) {
    for (char c : characters) {
        if (characters_.find(c) == std::string::npos) {
            characters_ += c;
        }
    }
    knowledge_.resize(characters_.size());
    for (const DrillAnswer& answer : history) {
        Learn(answer);
    }
}

const CharacterDrill::Knowledge* CharacterDrill::Find(unsigned char c) const {
    const std::size_t at = characters_.find(static_cast<char>(c));
    return at == std::string::npos ? nullptr : &knowledge_[at];
}

void CharacterDrill::Learn(const DrillAnswer& answer) {
    const std::size_t at = characters_.find(static_cast<char>(answer.sent));
    if (at == std::string::npos) {
        return;
    }
    Knowledge* knowledge = &knowledge_[at];
    const bool inTime = answer.right && answer.responseMs < targetMs_;
    const uint32_t penalty = !answer.right ? kWrongPenalty : inTime ? 0 : kSlowPenalty;
    knowledge->debt = knowledge->debt / 2 + penalty;
    if (!answer.right) {
        knowledge->due = knowledge->interval = 0;
    } else if (inTime && knowledge->interval == 0) {
        knowledge->interval = kFirstReviewSeconds;
        knowledge->due = answer.timeUnix + knowledge->interval;
    } else if (inTime && answer.timeUnix >= knowledge->due) {
        knowledge->interval = std::min(2 * knowledge->interval, kLongestReviewSeconds);
        knowledge->due = answer.timeUnix + knowledge->interval;
    }
    knowledge->recent.push_back(answer);
    if (knowledge->recent.size() > static_cast<std::size_t>(kMasteryAnswers)) {
        knowledge->recent.erase(knowledge->recent.begin());
    }
}

unsigned char CharacterDrill::Next() const {
    if (characters_.empty()) {
        return ' ';
    }
    const int64_t now = clock_ ? clock_() : SystemSeconds();
    auto isDue = [now](const Knowledge& k) { return k.interval > 0 && k.due <= now; };
    const bool anyDue = std::any_of(knowledge_.begin(), knowledge_.end(), isDue);
    auto weight = [&](const Knowledge& k) {
        return !anyDue || isDue(k) ? kDrillWeightMillionths + k.debt : 0;
    };
    // A debt stays below 8 units, so even 256 characters of weight 9 fit in 32 bits.
    uint32_t total = 0;
    for (const Knowledge& k : knowledge_) {
        total += weight(k);
    }
    uint32_t ticket = draw_(total);
    for (std::size_t i = 0; i < knowledge_.size(); ++i) {
        if (ticket < weight(knowledge_[i])) {
            return static_cast<unsigned char>(characters_[i]);
        }
        ticket -= weight(knowledge_[i]);
    }
    return static_cast<unsigned char>(characters_.back());
}

uint32_t CharacterDrill::Weight(unsigned char c) const {
    const Knowledge* k = Find(c);
    return k == nullptr ? 0 : kDrillWeightMillionths + k->debt;
}

int64_t CharacterDrill::ReviewDue(unsigned char c) const {
    const Knowledge* k = Find(c);
    return k == nullptr ? 0 : k->due;
}

CharacterMastery CharacterDrill::Mastery(unsigned char c) const {
    const Knowledge* k = Find(c);
    return k == nullptr ? CharacterMastery{} : MasteryOf(k->recent, targetMs_);
}

bool CharacterDrill::KnowsAll() const {
    return !characters_.empty() &&
           std::all_of(characters_.begin(), characters_.end(),
                       [this](char c) { return Mastery(static_cast<unsigned char>(c)).known; });
}

}  // namespace vantrel::progress
