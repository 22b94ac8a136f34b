#pragma once
// The termios record the POSIX port driver sets, apart from the driver so that the mapping of each
// line setting can be checked without a serial port.

#include <termios.h>

#include "serial/port_driver.h"

namespace valbrix {

// Makes record a raw line with these settings: no flow control, modem lines ignored, reads that
// return at once (VMIN and VTIME 0). False, with record unchanged, when the baud rate has no
// termios speed.
bool setLineSettings(termios& record, const LineSettings& settings);

}  // namespace valbrix
