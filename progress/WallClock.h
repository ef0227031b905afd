// Where the learner's history takes the time of a check and of "the last seven days" from:
// the system clock in the program, a fixed or hand-moved time in tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace vantrel::progress {

// Seconds since 1970-01-01 00:00 UTC.
using WallClock = std::function<int64_t()>;

inline int64_t SystemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Local date and time of `unixSeconds`, "2026-12-07 14:35:07".
std::string LocalDateTime(int64_t unixSeconds);

}  // namespace vantrel::progress
