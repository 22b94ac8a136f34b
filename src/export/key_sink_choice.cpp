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
        KeySinkRefusal refusal;
        chosen.sink = candidate.open(refusal);
        if (chosen.sink) {
            chosen.name = candidate.name;
            return chosen;
        }
        chosen.refusals.push_back(candidate.name + ": " + (refusal.why.empty() ? "not available" : refusal.why));
        if (refusal.byUser) {
            chosen.refusedByUser = true;
            return chosen;
        }
    }
    return chosen;
}

}  // namespace valbrix
