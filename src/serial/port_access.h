#pragma once
// Whether the user may open a serial device. On Linux serial devices belong to a group (mostly
// "dialout"), and a user outside it sees the device but cannot open it until added to the group and
// logged in again.

#include <string>

namespace valbrix {

// The group that owns the device at devicePath when it exists but this user may neither read nor
// write it; its number when the group has no name; empty when the device is missing or may be opened.
std::string deniedGroupOf(const std::string& devicePath);

}  // namespace valbrix
