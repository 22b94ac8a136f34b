// valbrix-icons: the program's pictures as Windows .ico files, drawn by the same painter as the Linux
// program's tray icons, so both show the same pictures. The Windows resources take the files from
// src/win32/icons; a test redraws them and fails when they differ from what the painter draws now.
//
//   valbrix-icons FOLDER           writes valbrix-128.ico and valbrix-401.ico ... valbrix-406.ico
//   valbrix-icons --check FOLDER   exit status 1 when a file there differs from a fresh drawing

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "qt/gauge_icons.h"

namespace {

constexpr int pictures[] = {valbrix::ProgramIcon,          valbrix::IconActiveIdentified, valbrix::IconStandbyIdentified,
                            valbrix::IconUnused,           valbrix::IconNoGauge,          valbrix::IconActivePrinting,
                            valbrix::IconStandbyPrinting};
// The notification area's size first; the larger ones for the title bar, Alt+Tab and Explorer.
constexpr int sizes[] = {16, 32, 48};

void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One picture as a device-independent bitmap of 32 bits with alpha, rows bottom up, followed by the
// 1-bit mask that older Windows versions draw with: set where the picture is fully transparent.
std::string bitmapOf(const QImage& image) {
    const int size = image.width();
    const int maskRowBytes = ((size + 31) / 32) * 4;
    std::string out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(size * 2));  // colour and mask together
    put16(out, 1);
    put16(out, 32);
    for (int i = 0; i < 6; ++i) put32(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) put32(out, image.pixel(x, y));  // 0xAARRGGBB is B, G, R, A in memory
    for (int y = size - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(maskRowBytes), '\0');
        for (int x = 0; x < size; ++x)
            if (qAlpha(image.pixel(x, y)) == 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        out += row;
    }
    return out;
}

std::string icoFile(int picture) {
    const QIcon icon = valbrix::gaugeIcon(picture);
    std::string directory, images;
    put16(directory, 0);
    put16(directory, 1);  // an icon, not a cursor
    put16(directory, std::size(sizes));
    std::uint32_t offset = 6 + 16 * std::size(sizes);
    for (const int size : sizes) {
        const std::string bitmap = bitmapOf(icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32));
        directory += static_cast<char>(size);
        directory += static_cast<char>(size);
        directory += '\0';  // no palette
        directory += '\0';
        put16(directory, 1);
        put16(directory, 32);
        put32(directory, static_cast<std::uint32_t>(bitmap.size()));
        put32(directory, offset);
        offset += static_cast<std::uint32_t>(bitmap.size());
        images += bitmap;
    }
    return directory + images;
}

std::string fileName(const std::string& folder, int picture) {
    return folder + "/valbrix-" + std::to_string(picture) + ".ico";
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fputs("usage: valbrix-icons [--check] FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[argc - 1];
    // Painting needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int failures = 0;
    for (const int picture : pictures) {
        const std::string drawn = icoFile(picture);
        const std::string path = fileName(folder, picture);
        if (check) {
            if (contentOf(path) == drawn) continue;
            std::fprintf(stderr, "%s differs from the picture drawn now\n", path.c_str());
            ++failures;
        } else if (!(std::ofstream(path, std::ios::binary) << drawn)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    if (check && failures > 0)
        std::fprintf(stderr, "redraw them with: valbrix-icons %s\n", folder.c_str());
    return failures == 0 ? 0 : 1;
}
