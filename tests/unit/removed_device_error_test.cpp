#include "serial/removed_device_error.h"

#include <gtest/gtest.h>

namespace valbrix {
namespace {

// A code taken for a pulled adapter closes the port and retries every 500 ms; a code that passes
// taken for one would drop the gauge at every line error.
TEST(RemovedDeviceError, TheCodesOfAPulledAdapterAndThoseThatPass) {
    struct Case {
        unsigned long code;
        const char* name;
        bool removed;
    };
    const Case cases[] = {
        {5, "ERROR_ACCESS_DENIED", true},          {6, "ERROR_INVALID_HANDLE", true},
        {21, "ERROR_NOT_READY", true},             {22, "ERROR_BAD_COMMAND", true},
        {31, "ERROR_GEN_FAILURE", true},           {55, "ERROR_DEV_NOT_EXIST", true},
        {433, "ERROR_NO_SUCH_DEVICE", true},       {1117, "ERROR_IO_DEVICE", true},
        {1167, "ERROR_DEVICE_NOT_CONNECTED", true}, {1617, "ERROR_DEVICE_REMOVED", true},
        {995, "ERROR_OPERATION_ABORTED", true},    {0, "ERROR_SUCCESS", false},
        {121, "ERROR_SEM_TIMEOUT", false},         {997, "ERROR_IO_PENDING", false},
        {1784, "ERROR_INVALID_USER_BUFFER", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isRemovedDeviceError(c.code), c.removed) << c.name;
}

}  // namespace
}  // namespace valbrix
