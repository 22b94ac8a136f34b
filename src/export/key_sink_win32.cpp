#include "export/key_sink_win32.h"

#include <utility>

#include "export/key_inputs_win32.h"

namespace valbrix {
namespace {

// The receiving window's thread has a layout of its own, which need not be the program's. Without a
// foreground window the thread is 0 and the layout the program's.
HKL foregroundLayout() { return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)); }

}  // namespace

Win32KeySink::Win32KeySink(InputSender sender) : sender(std::move(sender)) {}

void Win32KeySink::sendInputs(std::span<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// One batch reaches the receiver whole, with no key of the user's or another program's in between; a
// key delay needs the records one at a time.
UntypedKeys Win32KeySink::deliver(const KeyEvents& events) {
    std::vector<INPUT> inputs = keyInputs(events, layoutAnswers(foregroundLayout()));
    if (keyDelay() > 0) {
        for (INPUT& input : inputs) {
            sender(std::span(&input, 1));
            pauseAfterKey();
        }
    } else {
        sender(inputs);
    }
    return {};
}

}  // namespace valbrix
