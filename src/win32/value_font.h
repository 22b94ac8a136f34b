#pragma once
// The face of the dialog's large value fields. "Arial Narrow" comes with Office, not with Windows;
// where it is missing the fields get Arial, which every Windows has, drawn as narrow as Arial Narrow
// so that a long value still fits its field, instead of whatever wider face the font mapper picks.

#include <windows.h>

#include <functional>

namespace valbrix {

struct ValueFace {
    const char* name;
    // Of the face's own width; Arial Narrow is about 82 % as wide as Arial.
    int widthPercent;
    bool operator==(const ValueFace&) const = default;
};

// Chosen by whether a face is installed.
ValueFace chooseValueFace(const std::function<bool(const char* face)>& installed);

// Whether the system has a font family of that name (not one the font mapper would stand in).
bool fontInstalled(const char* face);

// The face at a character height in pixels (already at the window's density) and weight; null when
// the system makes no font.
HFONT createValueFont(const ValueFace& face, int height, int weight);

}  // namespace valbrix
