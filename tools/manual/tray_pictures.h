#pragma once
// The tray pictures for the manual, drawn by the program's own painter so that the manual shows
// exactly what the tray shows. Needs a QGuiApplication.

#include <filesystem>

namespace valbrix::manual {

// Writes tray-<id>.png, 32 pixels square, for every picture the tray can show.
void writeTrayPictures(const std::filesystem::path& folder);

}  // namespace valbrix::manual
