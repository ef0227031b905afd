// Names the calling thread for the system's tools (top -H, /proc/PID/task/*/comm, debuggers), so
// that figures per thread say whose they are. At most 15 characters are kept.
#pragma once

#if defined(__linux__)
#include <pthread.h>
#endif

namespace vantrel::audio {

inline void NameThisThread(const char* name) {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), name);
#else
    (void)name;
#endif
}

}  // namespace vantrel::audio
