#pragma once

namespace valbrix {

// Where a serial set-up failure is shown to the user. The desktop program installs its own message
// box; until then the platform default is used (a message box on Windows, standard error elsewhere).
using ErrorBoxHandler = void (*)(const char* caption, const char* text);
void setErrorBoxHandler(ErrorBoxHandler handler);
void showErrorBox(const char* caption, const char* text);

}  // namespace valbrix
