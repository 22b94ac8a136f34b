#include "serial/error_box.h"

#include <atomic>

#include "serial/default_error_box.h"

namespace valbrix {
namespace {
// Set once by the program at start-up, read by whichever thread opens a port.
std::atomic<ErrorBoxHandler> handler{nullptr};
// The innermost holder of the thread, if any.
thread_local HeldErrorBoxes* holder = nullptr;
}  // namespace

void setErrorBoxHandler(ErrorBoxHandler newHandler) { handler.store(newHandler); }

void showErrorBox(const char* caption, const char* text) {
    if (holder != nullptr) {
        holder->hold(ErrorBoxText{caption, text});
        return;
    }
    const ErrorBoxHandler current = handler.load();
    (current != nullptr ? current : defaultErrorBox)(caption, text);
}

HeldErrorBoxes::HeldErrorBoxes() : previous(holder) { holder = this; }

HeldErrorBoxes::~HeldErrorBoxes() { holder = previous; }

}  // namespace valbrix
