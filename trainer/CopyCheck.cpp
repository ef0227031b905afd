#include "trainer/CopyCheck.h"

#include "support/Cp1251.h"

namespace vantrel {

int GradeForErrors(int32_t errorCount) {
    if (errorCount <= 0) {
        return 5;
    }
    if (errorCount == 1) {
        return 4;
    }
    if (errorCount == 2) {
        return 3;
    }
    return 2;
}

CopyCheckResult CheckCopy(std::string_view sentCp1251, std::string_view copyCp1251) {
    const std::string copy = cp1251::ToUpper(copyCp1251);
    CopyCheckResult result;
    if (sentCp1251.size() <= kPracticePreamble.size()) {
        return result;
    }
    const std::size_t compared = sentCp1251.size() - kPracticePreamble.size();
    int blockErrors = 0;
    int blockPosition = 0;
    for (std::size_t i = 0; i < compared; ++i) {
        if (i >= copy.size() || copy[i] != sentCp1251[i + kPracticePreamble.size()]) {
            ++blockErrors;
        }
        if (++blockPosition == kCopyBlockSize) {
            if (blockErrors > 0) {
                ++result.errorCount;
            }
            blockErrors = 0;
            blockPosition = 0;
        }
    }
    result.grade = GradeForErrors(result.errorCount);
    return result;
}

}  // namespace vantrel
