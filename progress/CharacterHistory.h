// What the learner's history knows of each character: the source of the weak-character drill.
#pragma once

#include <map>

namespace vantrel::progress {

struct AttemptTally {
    int attempts = 0;  // times the character was sent
    int errors = 0;    // of them copied wrong or missed
};

class CharacterHistory {
  public:
    virtual ~CharacterHistory() = default;
    // Per character (Windows-1251 byte), the tally over its last `lastAttempts` attempts.
    // Characters never sent are absent.
    virtual std::map<unsigned char, AttemptTally> RecentTallies(int lastAttempts) const = 0;
};

}  // namespace vantrel::progress
