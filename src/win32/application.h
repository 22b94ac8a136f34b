#pragma once
// The Windows program's start: window class, dialog 301, and the message loop until the dialog ends.

#include <windows.h>

namespace valbrix {

// The window class of dialog 301.
inline constexpr const char* mainDialogClass = "ISDlgClass";

// The class of dialog 301 in the program's instance: the default dialog procedure, the dialog's window
// bytes and the program's icon.
void registerDialogClass(HINSTANCE instance);

// Registers the class, creates and shows the dialog and runs the message loop; 0 when the loop ends.
// A second start in the session only brings the first one's window out and ends with 0.
int runApplication(HINSTANCE instance);

}  // namespace valbrix
