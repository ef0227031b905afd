#include "progress/CheckComparison.h"

#include <algorithm>
#include <map>
#include <utility>

#include "support/Cp1251.h"

namespace vantrel::progress {

namespace {

// Each CR LF, lone CR or lone LF becomes one '\n'; blanks and line breaks at the end go.
std::string WithSimpleLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            result.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            result.push_back(text[i]);
        }
    }
    // The blank that ends every sent text, and blank lines after the copy, part nothing.
    while (!result.empty() && IsSeparator(result.back())) {
        result.pop_back();
    }
    return result;
}

// Russian count of times: 1 раз, 2 раза, 5 раз, 21 раз, 12 раз.
std::string Times(int count) {
    const int lastTwo = count % 100;
    const int last = count % 10;
    const char* word = "раз";
    if ((lastTwo < 12 || lastTwo > 14) && last >= 2 && last <= 4) {
        word = "раза";
    }
    return std::to_string(count) + " " + word;
}

}  // namespace

std::vector<PairCount> CountPairs(const Alignment& alignment) {
    std::map<std::pair<unsigned char, unsigned char>, int> counts;
    for (const AlignedPair& pair : alignment.pairs) {
        const bool sentKeyed = pair.sent != 0 && !IsSeparator(pair.sent);
        const bool copiedKeyed = pair.copied != 0 && !IsSeparator(pair.copied);
        if (!sentKeyed && !copiedKeyed) {
            continue;
        }
        const auto sent = static_cast<unsigned char>(sentKeyed ? pair.sent : 0);
        const auto copied = static_cast<unsigned char>(copiedKeyed ? pair.copied : 0);
        ++counts[{sent, copied}];
    }
    std::vector<PairCount> pairs;
    pairs.reserve(counts.size());
    for (const auto& [key, count] : counts) {
        pairs.push_back({key.first, key.second, count});
    }
    return pairs;
}

CheckComparison CompareCopy(std::string_view sentCp1251, std::string_view copyCp1251) {
    const std::string_view compared = sentCp1251.size() > kPracticePreamble.size()
                                          ? sentCp1251.substr(kPracticePreamble.size())
                                          : std::string_view();
    CheckComparison result;
    result.alignment =
        Align(WithSimpleLineBreaks(compared), WithSimpleLineBreaks(cp1251::ToUpper(copyCp1251)));
    result.pairs = CountPairs(result.alignment);
    for (const PairCount& pair : result.pairs) {
        if (pair.sent != 0) {
            result.sentCount += pair.count;
        }
        if (pair.IsRight()) {
            result.rightCount += pair.count;
        } else if (pair.sent == 0) {
            result.extraCount += pair.count;
        } else if (pair.copied == 0) {
            result.missedCount += pair.count;
        } else {
            result.substitutedCount += pair.count;
        }
    }
    return result;
}

std::string CharacterText(unsigned char cp1251) {
    return cp1251::ToUtf8(std::string(1, static_cast<char>(cp1251)));
}

std::string DescribePair(const PairCount& pair) {
    if (pair.sent == 0) {
        return "лишнее " + CharacterText(pair.copied) + ": " + Times(pair.count);
    }
    if (pair.copied == 0) {
        return CharacterText(pair.sent) + " пропущено: " + Times(pair.count);
    }
    if (pair.IsRight()) {
        return CharacterText(pair.sent) + " принято верно: " + Times(pair.count);
    }
    return CharacterText(pair.sent) + " принято как " + CharacterText(pair.copied) + ": " +
           Times(pair.count);
}

std::vector<PairCount> ErrorsInOrder(std::vector<PairCount> pairs) {
    std::erase_if(pairs, [](const PairCount& pair) { return pair.IsRight(); });
    auto kind = [](const PairCount& pair) { return pair.sent == 0 ? 2 : pair.copied == 0 ? 1 : 0; };
    std::stable_sort(pairs.begin(), pairs.end(), [&kind](const PairCount& a, const PairCount& b) {
        return kind(a) != kind(b) ? kind(a) < kind(b) : a.count > b.count;
    });
    return pairs;
}

std::string SummaryLine(const std::vector<PairCount>& pairs) {
    const std::vector<PairCount> errors = ErrorsInOrder(pairs);
    if (errors.empty()) {
        return "Ошибок нет";
    }
    std::string line = "Ошибки: ";
    for (std::size_t i = 0; i < errors.size(); ++i) {
        const PairCount& pair = errors[i];
        line += i == 0 ? "" : ", ";
        if (pair.sent == 0) {
            line += "лишнее " + CharacterText(pair.copied);
        } else if (pair.copied == 0) {
            line += "пропущено " + CharacterText(pair.sent);
        } else {
            line += CharacterText(pair.sent) + "→" + CharacterText(pair.copied);
        }
        line += " ×" + std::to_string(pair.count);
    }
    return line;
}

}  // namespace vantrel::progress
