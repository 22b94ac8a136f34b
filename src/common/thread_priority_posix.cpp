#include "common/thread_priority.h"

namespace valbrix {

// An unprivileged process may not raise its priority here; the 50 ms poll and the kernel's serial
// buffer keep up at 4800 baud without it.
void raiseCurrentThreadPriority() {}

}  // namespace valbrix
