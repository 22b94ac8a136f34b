#include "export/key_sink_choice.h"

namespace valbrix {
namespace {

bool isSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

DesktopSession desktopSession(const char* display, const char* waylandDisplay) {
    if (isSet(waylandDisplay)) return DesktopSession::Wayland;
    return isSet(display) ? DesktopSession::X11 : DesktopSession::None;
}

ChosenKeySink chooseKeySink(const std::vector<KeySinkCandidate>& candidates) {
    ChosenKeySink chosen;
    for (const KeySinkCandidate& candidate : candidates) {
        std::string why;
        chosen.sink = candidate.open(why);
        if (chosen.sink) {
            chosen.name = candidate.name;
            return chosen;
        }
        chosen.refusals.push_back(candidate.name + ": " + (why.empty() ? "not available" : why));
    }
    return chosen;
}

}  // namespace valbrix
