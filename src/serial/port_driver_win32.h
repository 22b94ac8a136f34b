#pragma once
// What the Win32 port driver hands the communications API and reads back from it, apart from the
// driver so that each field can be checked without a serial port.

#include <windows.h>

#include "serial/port_driver.h"

namespace valbrix {

// The line-settings record: the settings, binary mode, DTR and RTS on, no flow control.
DCB lineSettingsRecord(const LineSettings& settings);
// Reads return at once with whatever is buffered; writes have no time-out.
COMMTIMEOUTS immediateReads();
// The first provider-specific character of the port's properties; 0 when they cannot be read.
int providerValueOf(HANDLE port);

}  // namespace valbrix
