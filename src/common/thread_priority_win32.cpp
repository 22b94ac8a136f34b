#include "common/thread_priority.h"

#include <windows.h>

namespace valbrix {

void raiseCurrentThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL); }

}  // namespace valbrix
