// The processor time a measurement spent, from the kernel's per-process and per-thread clocks.
#pragma once

#include <time.h>

namespace vantrel::bench {

inline double CpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

inline double ProcessCpuSeconds() {
    return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

}  // namespace vantrel::bench
