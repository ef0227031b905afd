// What the statistics window shows, worked out from the history's character pairs: accuracy
// per character (worst first) and the confusion matrix, with "missed" as a column of its own;
// and from the character drill's answers, the median response per character and its trend.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "progress/CharacterDrill.h"
#include "progress/CheckComparison.h"

namespace vantrel::progress {

struct CharacterAccuracy {
    unsigned char character = 0;
    int sent = 0;
    int right = 0;

    double Percent() const { return sent > 0 ? 100.0 * right / sent : 100.0; }
};

// Characters that were sent, the least accurate first; equal accuracy: the more often sent
// first, then by character code.
std::vector<CharacterAccuracy> AccuracyWorstFirst(const std::vector<PairCount>& pairs);

struct ConfusionMatrix {
    std::vector<unsigned char> rows;     // sent characters with errors, the most errors first
    std::vector<unsigned char> columns;  // characters copied in their place, by code
    // (sent, copied) -> count; copied 0 is the column "missed", which always comes last.
    std::map<std::pair<unsigned char, unsigned char>, int> cells;

    int Count(unsigned char sent, unsigned char copied) const {
        const auto cell = cells.find({sent, copied});
        return cell == cells.end() ? 0 : cell->second;
    }
};

// Only errors: right copies and extra characters are left out.
ConfusionMatrix Confusions(const std::vector<PairCount>& pairs);

struct CharacterResponse {
    unsigned char character = 0;
    int answers = 0;
    int right = 0;
    int medianMs = 0;  // of the right answers' response times; 0 without any
    friend bool operator==(const CharacterResponse&, const CharacterResponse&) = default;
};

// Every character answered in the drill, the slowest median first; equal medians: the more
// often answered first, then by character code.
std::vector<CharacterResponse> ResponseMedians(const std::vector<DrillAnswer>& answers);

struct ResponsePoint {
    int64_t sessionUnix = 0;  // the drill's start
    int right = 0;
    int medianMs = 0;
    friend bool operator==(const ResponsePoint&, const ResponsePoint&) = default;
};

// The trend of one character's response: per drill in time order, the median of its right
// answers there; drills without a right answer to it are left out.
std::vector<ResponsePoint> ResponseTrend(const std::vector<DrillAnswer>& answers,
                                         unsigned char character);

}  // namespace vantrel::progress
