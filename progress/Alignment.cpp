#include "progress/Alignment.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel::progress {

namespace {

// Texts whose cost table has at most this many cells are aligned in one piece.
constexpr std::size_t kWholeTableCells = std::size_t{1} << 22;
// Sent characters per window of a long alignment; the first half of each window is kept.
constexpr std::size_t kWindowSent = 1000;
// Copy characters a window may take beyond its sent characters.
constexpr std::size_t kWindowSlack = 500;

// A blank for every line break, so that the inner loop compares bytes only.
std::string Comparable(std::string_view text) {
    std::string comparable(text);
    for (char& c : comparable) {
        c = IsSeparator(c) ? ' ' : c;
    }
    return comparable;
}

// cost[i][j]: least cost of aligning sent[i..] with copy[j..], kept in one flat table. Each
// substitution, drop or extra costs `edit_`, each match earns one back: the fewest edits first,
// and among those the most matches, so "12" copied as "2" is a drop, not a substitution of 1
// by 2 plus a drop of 2. `edit_` exceeds any number of matches, and the table of a whole
// alignment stays well inside 32 bits.
class CostTable {
  public:
    CostTable(std::string_view sent, std::string_view copy)
        : sent_(Comparable(sent)),
          copy_(Comparable(copy)),
          edit_(static_cast<int32_t>(std::min(sent.size(), copy.size()) + 1)),
          width_(copy.size() + 1),
          cost_((sent.size() + 1) * width_) {
        const std::size_t n = sent_.size();
        const std::size_t m = copy_.size();
        int32_t* last = &cost_[n * width_];
        for (std::size_t j = 0; j <= m; ++j) {
            last[j] = static_cast<int32_t>(m - j) * edit_;
        }
        for (std::size_t i = n; i-- > 0;) {
            int32_t* row = &cost_[i * width_];
            const int32_t* below = row + width_;
            const char sentChar = sent_[i];
            row[m] = static_cast<int32_t>(n - i) * edit_;
            for (std::size_t j = m; j-- > 0;) {
                const int32_t pair = below[j + 1] + (sentChar == copy_[j] ? -1 : edit_);
                row[j] = std::min(pair, std::min(below[j], row[j + 1]) + edit_);
            }
        }
    }

    int32_t At(std::size_t i, std::size_t j) const { return cost_[i * width_ + j]; }
    int32_t PairCost(std::size_t i, std::size_t j) const {
        return sent_[i] == copy_[j] ? -1 : edit_;
    }
    int32_t Edit() const { return edit_; }

  private:
    std::string sent_;
    std::string copy_;
    int32_t edit_;
    std::size_t width_;
    std::vector<int32_t> cost_;
};

// Walks the least-cost path from the start; stops once `sentLimit` sent characters have been
// taken (and the copy is left to the next window), or at the end of both texts.
void TracePath(std::string_view sent, std::string_view copy, std::size_t sentLimit, bool toTheEnd,
               std::vector<AlignedPair>& pairs, std::size_t& sentUsed, std::size_t& copyUsed) {
    const CostTable table(sent, copy);
    std::size_t i = 0;
    std::size_t j = 0;
    while ((i < sent.size() || j < copy.size()) && (toTheEnd || i < sentLimit)) {
        const int32_t here = table.At(i, j);
        if (i < sent.size() && j < copy.size() &&
            here == table.At(i + 1, j + 1) + table.PairCost(i, j)) {
            pairs.push_back({sent[i++], copy[j++]});
        } else if (i < sent.size() && here == table.At(i + 1, j) + table.Edit()) {
            pairs.push_back({sent[i++], 0});
        } else {
            pairs.push_back({0, copy[j++]});
        }
    }
    sentUsed = i;
    copyUsed = j;
}

}  // namespace

Alignment Align(std::string_view sent, std::string_view copy) {
    Alignment result;
    result.sentCount = static_cast<int>(sent.size());
    while (true) {
        const bool whole = (sent.size() + 1) * (copy.size() + 1) <= kWholeTableCells;
        std::size_t sentUsed = 0;
        std::size_t copyUsed = 0;
        if (whole) {
            TracePath(sent, copy, sent.size(), true, result.pairs, sentUsed, copyUsed);
            break;
        }
        const std::string_view sentWindow = sent.substr(0, kWindowSent);
        const std::string_view copyWindow = copy.substr(0, sentWindow.size() + kWindowSlack);
        TracePath(sentWindow, copyWindow, kWindowSent / 2, false, result.pairs, sentUsed, copyUsed);
        sent.remove_prefix(sentUsed);
        copy.remove_prefix(copyUsed);
    }
    for (const AlignedPair& pair : result.pairs) {
        result.rightCount += pair.IsRight() ? 1 : 0;
    }
    return result;
}

}  // namespace vantrel::progress
