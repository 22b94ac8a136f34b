#pragma once

#include <string>
#include <utility>
#include <vector>

namespace valbrix {

// Where a serial set-up failure is shown to the user. The desktop program installs its own message
// box; until then the platform default is used (a message box on Windows, standard error elsewhere).
using ErrorBoxHandler = void (*)(const char* caption, const char* text);
void setErrorBoxHandler(ErrorBoxHandler handler);
void showErrorBox(const char* caption, const char* text);

struct ErrorBoxText {
    std::string caption;
    std::string text;
};

// A box runs the window system's loop until the user closes it, and anything can happen meanwhile, the
// end of the program included. While one of these lives, the failures reported on its thread are kept
// in it instead of shown, so that whoever holds a lock can show them once it has let go.
class HeldErrorBoxes {
public:
    HeldErrorBoxes();
    // Gives the thread back to the holder before this one, or to the handler.
    ~HeldErrorBoxes();
    HeldErrorBoxes(const HeldErrorBoxes&) = delete;
    HeldErrorBoxes& operator=(const HeldErrorBoxes&) = delete;

    void hold(ErrorBoxText box) { held.push_back(std::move(box)); }
    // What was reported so far, in order; the holder is empty afterwards.
    std::vector<ErrorBoxText> take() { return std::exchange(held, {}); }

private:
    HeldErrorBoxes* previous;
    std::vector<ErrorBoxText> held;
};

}  // namespace valbrix
