#include "progress/Alignment.h"

#include <algorithm>
#include <cstddef>

namespace vantrel::progress {

namespace {

// cost[i][j]: least cost of aligning sent[i..] with copy[j..], kept in one flat table.
class CostTable {
  public:
    CostTable(std::string_view sent, std::string_view copy)
        : sent_(sent), copy_(copy), width_(copy.size() + 1), cost_((sent.size() + 1) * width_) {
        for (std::size_t i = sent.size() + 1; i-- > 0;) {
            for (std::size_t j = copy.size() + 1; j-- > 0;) {
                At(i, j) = Best(i, j);
            }
        }
    }

    int At(std::size_t i, std::size_t j) const { return cost_[i * width_ + j]; }

  private:
    int& At(std::size_t i, std::size_t j) { return cost_[i * width_ + j]; }

    int Best(std::size_t i, std::size_t j) const {
        if (i == sent_.size()) {
            return static_cast<int>(copy_.size() - j);
        }
        if (j == copy_.size()) {
            return static_cast<int>(sent_.size() - i);
        }
        const int pair = At(i + 1, j + 1) + (sent_[i] == copy_[j] ? 0 : 1);
        return std::min({pair, At(i + 1, j) + 1, At(i, j + 1) + 1});
    }

    std::string_view sent_;
    std::string_view copy_;
    std::size_t width_;
    std::vector<int> cost_;
};

}  // namespace

Alignment Align(std::string_view sent, std::string_view copy) {
    const CostTable table(sent, copy);
    Alignment result;
    result.sentCount = static_cast<int>(sent.size());
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < sent.size() || j < copy.size()) {
        const int here = table.At(i, j);
        if (i < sent.size() && j < copy.size() &&
            here == table.At(i + 1, j + 1) + (sent[i] == copy[j] ? 0 : 1)) {
            result.pairs.push_back({sent[i], copy[j]});
            result.rightCount += sent[i] == copy[j] ? 1 : 0;
            ++i;
            ++j;
        } else if (i < sent.size() && here == table.At(i + 1, j) + 1) {
            result.pairs.push_back({sent[i], 0});
            ++i;
        } else {
            result.pairs.push_back({0, copy[j]});
            ++j;
        }
    }
    return result;
}

}  // namespace vantrel::progress
