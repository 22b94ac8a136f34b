#pragma once

namespace valbrix {

// Lifts the calling thread above normal priority where the platform lets an ordinary user do so,
// so that the serial line is read in time while the user interface is busy.
void raiseCurrentThreadPriority();

}  // namespace valbrix
