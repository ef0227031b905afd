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

std::vector<PairCount> ErrorsInOrder(std::vector<PairCount> pairs) {
    std::erase_if(pairs, [](const PairCount& pair) { return pair.IsRight(); });
    auto kind = [](const PairCount& pair) { return pair.sent == 0 ? 2 : pair.copied == 0 ? 1 : 0; };
    std::stable_sort(pairs.begin(), pairs.end(), [&kind](const PairCount& a, const PairCount& b) {
        return kind(a) != kind(b) ? kind(a) < kind(b) : a.count > b.count;
    });
    return pairs;
}

std::string ErrorNotation(const std::vector<PairCount>& pairs) {
    std::string items;
    for (const PairCount& pair : ErrorsInOrder(pairs)) {
        items += items.empty() ? "" : " ";
        items += pair.sent == 0 ? std::string("∅") : CharacterText(pair.sent);
        items += "→";
        items += pair.copied == 0 ? std::string("∅") : CharacterText(pair.copied);
        items += "×" + std::to_string(pair.count);
    }
    return items;
}

}  // namespace vantrel::progress
