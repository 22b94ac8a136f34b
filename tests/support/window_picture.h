#pragma once
// Pictures of the windows an end-to-end test drives, for people to look at: a window of the X server
// as a PNG file in the folder that VALBRIX_ARTEFACTS names. Without that folder, or without xwd and
// netpbm, no picture is taken.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace valbrix::testing {

// Empty when the picture was taken or none is asked for; else the command that failed.
inline std::string takePicture(unsigned long window, const std::string& name) {
    const char* folder = std::getenv("VALBRIX_ARTEFACTS");
    if (folder == nullptr || *folder == '\0' ||
        std::system("command -v xwd >/dev/null && command -v pnmtopng >/dev/null") != 0)
        return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the last paint
    const std::string command = "xwd -silent -id " + std::to_string(window) + " | xwdtopnm 2>/dev/null | pnmtopng >" +
                                std::string(folder) + "/" + name;
    return std::system(command.c_str()) == 0 ? std::string() : command;
}

}  // namespace valbrix::testing
