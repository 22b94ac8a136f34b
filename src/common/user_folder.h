#pragma once
// The per-user folder of the program, where its settings file and (on POSIX) the port links live when
// the program folder is not the user's to write.

#include <string>

namespace valbrix {

// POSIX: $XDG_CONFIG_HOME/Oden_Malvert/Valbrix, with ~/.config when XDG_CONFIG_HOME is unset or empty.
// Windows: %LOCALAPPDATA%\Oden_Malvert\Valbrix; empty when LOCALAPPDATA is unset or empty.
// No trailing separator.
std::string userConfigFolder();

}  // namespace valbrix
