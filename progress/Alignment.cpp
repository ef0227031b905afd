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

// cost[i][j]: least cost of aligning sent[i..] with copy[j..]. Each substitution, drop or extra
// costs `edit_`, each match earns one back: the fewest edits first, and among those the most
// matches, so "12" copied as "2" is a drop, not a substitution of 1 by 2 plus a drop of 2.
// `edit_` exceeds any number of matches, and the costs stay well inside 32 bits.
//
// Only the cells near the diagonal are kept: those with j - i between the band's ends, which
// reach `band` beyond both 0 and the difference of the lengths. A path with e drops and
// extras never leaves j - i within [-e, e], so when the best path inside the band needs at
// most `band` edits, it is the best path of the whole table (Exact).
class CostTable {
  public:
    CostTable(std::string_view sent, std::string_view copy, std::ptrdiff_t band)
        : sent_(sent),
          copy_(copy),
          n_(static_cast<std::ptrdiff_t>(sent.size())),
          m_(static_cast<std::ptrdiff_t>(copy.size())),
          edit_(static_cast<int32_t>(std::min(n_, m_) + 1)),
          low_(std::max(std::min<std::ptrdiff_t>(0, m_ - n_) - band, -n_)),
          high_(std::min(std::max<std::ptrdiff_t>(0, m_ - n_) + band, m_)),
          width_(high_ - low_ + 1),
          cost_(static_cast<std::size_t>((n_ + 1) * width_), kFar) {
        for (std::ptrdiff_t i = n_; i >= 0; --i) {
            const std::ptrdiff_t first = std::max<std::ptrdiff_t>(0, i + low_);
            for (std::ptrdiff_t j = std::min(m_, i + high_); j >= first; --j) {
                cost_[Index(i, j)] = Best(i, j);
            }
        }
    }

    bool Exact() const {
        const int32_t best = At(0, 0);
        const int32_t edits = best <= 0 ? 0 : (best + edit_ - 1) / edit_;
        return (low_ == -n_ || edits <= -low_) && (high_ == m_ || edits <= high_);
    }
    int32_t At(std::ptrdiff_t i, std::ptrdiff_t j) const {
        const std::ptrdiff_t diagonal = j - i;
        return diagonal < low_ || diagonal > high_ ? kFar : cost_[Index(i, j)];
    }
    int32_t PairCost(std::ptrdiff_t i, std::ptrdiff_t j) const {
        return sent_[i] == copy_[j] ? -1 : edit_;
    }
    int32_t Edit() const { return edit_; }

  private:
    // Far beyond any real cost, and still far from overflowing when an edit is added.
    static constexpr int32_t kFar = 1 << 29;

    std::size_t Index(std::ptrdiff_t i, std::ptrdiff_t j) const {
        return static_cast<std::size_t>(i * width_ + (j - i - low_));
    }

    int32_t Best(std::ptrdiff_t i, std::ptrdiff_t j) const {
        if (i == n_) {
            return static_cast<int32_t>(m_ - j) * edit_;
        }
        if (j == m_) {
            return static_cast<int32_t>(n_ - i) * edit_;
        }
        const int32_t pair = cost_[Index(i + 1, j + 1)] + PairCost(i, j);
        return std::min({pair, At(i + 1, j) + edit_, At(i, j + 1) + edit_});
    }

    std::string_view sent_;
    std::string_view copy_;
    std::ptrdiff_t n_;
    std::ptrdiff_t m_;
    int32_t edit_;
    std::ptrdiff_t low_;
    std::ptrdiff_t high_;
    std::ptrdiff_t width_;
    std::vector<int32_t> cost_;
};

// The narrowest band tried first; it grows fourfold until the result is exact.
constexpr std::ptrdiff_t kFirstBand = 32;

// Walks the least-cost path from the start; stops once `sentLimit` sent characters have been
// taken (and the copy is left to the next window), or at the end of both texts.
void TracePath(std::string_view sent, std::string_view copy, std::size_t sentLimit, bool toTheEnd,
               std::vector<AlignedPair>& pairs, std::size_t& sentUsed, std::size_t& copyUsed) {
    const std::string comparableSent = Comparable(sent);
    const std::string comparableCopy = Comparable(copy);
    std::ptrdiff_t band = kFirstBand;
    CostTable table(comparableSent, comparableCopy, band);
    while (!table.Exact()) {
        band *= 4;
        table = CostTable(comparableSent, comparableCopy, band);
    }
    std::size_t i = 0;
    std::size_t j = 0;
    while ((i < sent.size() || j < copy.size()) && (toTheEnd || i < sentLimit)) {
        const auto si = static_cast<std::ptrdiff_t>(i);
        const auto sj = static_cast<std::ptrdiff_t>(j);
        const int32_t here = table.At(si, sj);
        if (i < sent.size() && j < copy.size() &&
            here == table.At(si + 1, sj + 1) + table.PairCost(si, sj)) {
            pairs.push_back({sent[i++], copy[j++]});
        } else if (i < sent.size() && here == table.At(si + 1, sj) + table.Edit()) {
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
