#include "progress/KochOrderLatin.h"

namespace vantrel::progress {

namespace {

// K M U R E S N A P T L W I . J Z = F O Y , V G 5 / Q 9 2 H 3 8 B ? 4 7 C 1 D 6 0 X
constexpr std::string_view kOrder = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X";

}  // namespace

std::string_view KochOrderLatin() {
    return kOrder;
}

}  // namespace vantrel::progress
