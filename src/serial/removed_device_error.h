#pragma once
// Which Win32 error codes of a failed ReadFile or WriteFile on an open serial handle mean that the
// device has gone. Kept apart from the driver so the rule is tested on every build.

namespace valbrix {

// True for the codes the drivers of USB serial adapters give once the adapter is pulled out (the
// handle stays open but can never be used again); false for failures that pass, such as a line
// error or a time-out.
bool isRemovedDeviceError(unsigned long systemError);

}  // namespace valbrix
