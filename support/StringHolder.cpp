#include "support/StringHolder.h"

namespace vantrel {

TStringHolder::TStringHolder(std::initializer_list<std::string_view> lines)
    : strings_(lines.begin(), lines.end()) {}

void TStringHolder::SetStrings(const std::vector<std::string>& lines) {
    strings_ = lines;
}

}  // namespace vantrel
