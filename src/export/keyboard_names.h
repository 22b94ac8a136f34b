#pragma once
// The keyboard layout configured for the system, for when no compositor hands over the keymap of
// the seat: Debian's /etc/default/keyboard (the XKBMODEL, XKBLAYOUT, XKBVARIANT and XKBOPTIONS lines)
// with XKB_DEFAULT_MODEL, XKB_DEFAULT_LAYOUT ... from the environment taking precedence, as wlroots
// compositors such as sway take them.

#include <string>

#include "export/xkb_keyboard.h"

namespace valbrix {

// The names in the text of a keyboard defaults file: KEY="value" lines, quotes optional, '#' starts
// a comment.
KeyboardNames keyboardNamesFromDefaults(const std::string& fileText);

// The file (a missing one counts as empty), then the environment.
KeyboardNames configuredKeyboardNames(const char* defaultsPath = "/etc/default/keyboard");

}  // namespace valbrix
