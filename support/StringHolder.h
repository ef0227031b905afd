// A holder of a list of text lines, carried as part of a window's data (the word lists of the
// contact generator). The list is the holder's own: assigning copies the given lines.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class TStringHolder {
  public:
    TStringHolder() = default;
    TStringHolder(std::initializer_list<std::string_view> lines);

    // The holder's own lines, in stored order, duplicates included.
    const std::vector<std::string>& Strings() const { return strings_; }
    // Replaces the lines by a copy of `lines`; the given list stays the caller's.
    void SetStrings(const std::vector<std::string>& lines);

  private:
    std::vector<std::string> strings_;
};

}  // namespace vantrel
