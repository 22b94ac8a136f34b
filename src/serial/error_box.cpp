#include "serial/error_box.h"

#include <atomic>

#include "serial/default_error_box.h"

namespace valbrix {
namespace {
// Set once by the program at start-up, read by whichever thread opens a port.
std::atomic<ErrorBoxHandler> handler{nullptr};
}  // namespace

void setErrorBoxHandler(ErrorBoxHandler newHandler) { handler.store(newHandler); }

void showErrorBox(const char* caption, const char* text) {
    const ErrorBoxHandler current = handler.load();
    (current != nullptr ? current : defaultErrorBox)(caption, text);
}

}  // namespace valbrix
