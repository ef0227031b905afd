// Raises the calling thread to the priority the chain's service threads run at ("highest",
// one step below time critical). Best effort: without the right to raise it the thread
// simply keeps its priority.
#pragma once

namespace vantrel::signal {

void SetCurrentThreadPriorityHighest();

}  // namespace vantrel::signal
