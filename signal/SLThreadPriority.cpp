#include "signal/SLThreadPriority.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace vantrel::signal {

void SetCurrentThreadPriorityHighest() {
#if defined(__linux__)
    // On Linux a normal thread's priority is its nice value; -5 is well above normal without
    // competing with the sound server's real-time threads. Failure (no privilege) is ignored.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    (void)::setpriority(PRIO_PROCESS, tid, -5);
#endif
}

}  // namespace vantrel::signal
