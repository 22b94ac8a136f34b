#pragma once
// Pictures of the windows an end-to-end test drives, for people to look at: a window of the X server
// as a PNG file in the folder that VALBRIX_ARTEFACTS names. Without that folder, or without xwd and
// netpbm, no picture is taken.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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

// A window's picture as rows of RGB pixels, for tests that look at what was drawn; empty without xwd
// and netpbm or when the window cannot be read.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // three bytes a pixel, row by row
    bool dark(int x, int y) const {
        const unsigned char* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return pixel[0] < 0x30 && pixel[1] < 0x30 && pixel[2] < 0x30;
    }
};

inline Picture readPicture(unsigned long window) {
    Picture picture;
    if (std::system("command -v xwd >/dev/null && command -v xwdtopnm >/dev/null") != 0) return picture;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the last paint
    const std::string command = "xwd -silent -id " + std::to_string(window) + " | xwdtopnm 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return picture;
    int maximum = 0;
    // A binary PPM: "P6", width, height, largest value, one blank, the pixels.
    if (std::fscanf(pipe, "P6 %d %d %d", &picture.width, &picture.height, &maximum) == 3 && maximum == 255 &&
        std::fgetc(pipe) != EOF && picture.width > 0 && picture.height > 0) {
        picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
        if (std::fread(picture.rgb.data(), 1, picture.rgb.size(), pipe) != picture.rgb.size()) picture = Picture{};
    } else {
        picture = Picture{};
    }
    pclose(pipe);
    return picture;
}

}  // namespace valbrix::testing
