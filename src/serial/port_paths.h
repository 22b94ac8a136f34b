#pragma once
// Where a port number leads on a POSIX system. A port keeps its number (COM1..COM99) everywhere in
// the program; only the device behind it differs from Windows.

#include <string>

namespace valbrix {

// The entry ports/COMn beside the per-user settings file when it exists (a link to any serial device
// or pseudo-terminal), otherwise the fixed table: COM1-COM4 /dev/ttyS0-3, COM5-COM20 /dev/ttyUSB0-15,
// COM21-COM31 /dev/ttyACM0-10, COM32-COM99 /dev/ttyS4 onward. Empty outside 1..99.
std::string devicePathForPort(int portNumber);

}  // namespace valbrix
