#include "serial/removed_device_error.h"

#include <algorithm>
#include <iterator>

namespace valbrix {
namespace {

// Winerror.h's numbers, written out so that no Windows header is needed to test the rule. Each
// vendor's driver answers a pulled adapter in its own way.
constexpr unsigned long removedDeviceErrors[] = {
    5,     // ERROR_ACCESS_DENIED: the class driver usbser.sys
    6,     // ERROR_INVALID_HANDLE
    21,    // ERROR_NOT_READY
    22,    // ERROR_BAD_COMMAND: FTDI's driver
    31,    // ERROR_GEN_FAILURE: Prolific's and Silicon Labs' drivers
    55,    // ERROR_DEV_NOT_EXIST
    433,   // ERROR_NO_SUCH_DEVICE
    995,   // ERROR_OPERATION_ABORTED: I/O cut off under a pulled adapter (the program never cancels its own)
    1117,  // ERROR_IO_DEVICE
    1167,  // ERROR_DEVICE_NOT_CONNECTED
    1617,  // ERROR_DEVICE_REMOVED
};

}  // namespace

bool isRemovedDeviceError(unsigned long systemError) {
    return std::find(std::begin(removedDeviceErrors), std::end(removedDeviceErrors), systemError) !=
           std::end(removedDeviceErrors);
}

}  // namespace valbrix
