#pragma once

namespace valbrix {

// The platform's own way of showing a serial set-up failure, used until the program installs its
// message box: a message box on Windows, standard error elsewhere. Each port driver file defines it.
void defaultErrorBox(const char* caption, const char* text);

}  // namespace valbrix
