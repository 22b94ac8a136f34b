#pragma once
// The gauge echoes every command frame within 300 ms, and it may print meanwhile: a reading taken just
// as the command went out comes before or after the echo. The watch tells the echo from the rest, so
// that the rest reaches the framing as if read normally and only the command's own echo is checked.
//
// An echo begins with STX and the frame's prefix. Once those two have come, every further byte must be
// the frame's: a byte that differs makes it a garbled echo, which fails the command as any echo that is
// not the frame does. A garbled echo ends with its ETX, and is never longer than the frame.

#include <cstddef>

namespace valbrix {

class EchoWatch {
public:
    // frame: STX, prefix, command, ETX; kept by the caller for as long as the watch is used.
    EchoWatch(const char* frame, std::size_t length) : frame(frame), length(length) {}

    // Takes one received byte. The bytes that are not part of an echo are put into passOn, in order
    // (two when an STX turns out to begin no echo); the result is how many.
    int take(unsigned char byte, unsigned char passOn[2]);

    bool echoed() const { return matched == length; }
    // A garbled echo has come back whole, or the whole frame has: nothing more belongs to the echo.
    bool done() const { return echoed() || garbledEnded; }

private:
    const char* frame;
    std::size_t length;
    std::size_t matched = 0;   // bytes of the frame that came back so far
    std::size_t received = 0;  // bytes of a garbled echo so far
    bool garbled = false;
    bool garbledEnded = false;
};

}  // namespace valbrix
