#include "win32/value_font.h"

#include <cstring>

namespace valbrix {
namespace {

constexpr ValueFace narrowFace{"Arial Narrow", 100};
// Arial Narrow's average character is 741 font units wide, Arial's 904.
constexpr ValueFace condensedArial{"Arial", 82};

int CALLBACK foundFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The face's own width until one is set.
LOGFONTA describe(const char* face, int height, int weight) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

// What a value looks like in width: its digits and signs, drawn in the font on the screen; 0 when the
// system makes no such font.
struct Measured {
    int averageWidth;  // the font's average character width
    int valueWidth;
};

Measured measure(const LOGFONTA& description) {
    static constexpr char sample[] = "0123456789,.-";
    const HFONT font = CreateFontIndirectA(&description);
    const HDC screen = GetDC(nullptr);
    Measured measured{0, 0};
    if (font != nullptr && screen != nullptr) {
        const HGDIOBJ before = SelectObject(screen, font);
        TEXTMETRICA metrics{};
        SIZE size{};
        if (GetTextMetricsA(screen, &metrics) && GetTextExtentPoint32A(screen, sample, sizeof sample - 1, &size))
            measured = {metrics.tmAveCharWidth, size.cx};
        SelectObject(screen, before);
    }
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (font != nullptr) DeleteObject(font);
    return measured;
}

}  // namespace

ValueFace chooseValueFace(const std::function<bool(const char* face)>& installed) {
    return installed(narrowFace.name) ? narrowFace : condensedArial;
}

bool fontInstalled(const char* face) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) return false;
    EnumFontFamiliesExA(screen, &wanted, foundFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// A width of 0 leaves the face its own. A narrowed face draws a value at its share of the width the
// value has in the face's own width. The width asked for is an average character width, and what
// that means for digits differs between the face and one standing in for it (wine's): the share of
// the average is tried and corrected by what it drew.
HFONT createValueFont(const ValueFace& face, int height, int weight) {
    LOGFONTA font = describe(face.name, height, weight);
    if (face.widthPercent != 100) {
        const Measured own = measure(font);
        font.lfWidth = MulDiv(own.averageWidth, face.widthPercent, 100);
        const Measured tried = measure(font);
        font.lfWidth = tried.valueWidth > 0
                           ? MulDiv(font.lfWidth, MulDiv(own.valueWidth, face.widthPercent, 100), tried.valueWidth)
                           : 0;
    }
    return CreateFontIndirectA(&font);
}

}  // namespace valbrix
