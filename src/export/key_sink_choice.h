#pragma once
// Which key sink the program types with, chosen once at start from the desktop session: the first of
// the session's ways of typing that can be had, unless the user refuses one: then none is taken.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/key_event.h"

namespace valbrix {

enum class DesktopSession { X11, Wayland, None };

// Wayland wherever WAYLAND_DISPLAY is set (its X server, if any, reaches only X11 programs); X11 when
// only DISPLAY is; None without either. Unset and empty count alike.
DesktopSession desktopSession(const char* display, const char* waylandDisplay);

// Why a way of typing cannot be had.
struct KeySinkRefusal {
    std::string why;
    // The user was asked and said no, or did not answer: a way the user was not asked about must not
    // type in their place.
    bool byUser = false;
};

struct KeySinkCandidate {
    std::string name;  // as valbrix --trace names it
    // nullptr, with the reason in the refusal, when this way of typing cannot be had.
    std::function<std::unique_ptr<KeySink>(KeySinkRefusal& refusal)> open;
};

struct ChosenKeySink {
    std::unique_ptr<KeySink> sink;  // nullptr when none could be had
    std::string name;
    std::vector<std::string> refusals;  // "name: why" for every candidate tried in vain, in order
    bool refusedByUser = false;         // the search ended at a way the user refused
};

// Tries the candidates in order and stops at the first that opens or that the user refuses.
ChosenKeySink chooseKeySink(const std::vector<KeySinkCandidate>& candidates);

}  // namespace valbrix
