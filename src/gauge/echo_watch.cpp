#include "gauge/echo_watch.h"

#include "gauge/frame_characters.h"

namespace valbrix {

int EchoWatch::take(unsigned char byte, unsigned char passOn[2]) {
    if (done()) {
        passOn[0] = byte;
        return 1;
    }
    if (garbled) {
        ++received;
        garbledEnded = byte == ETX || received >= length;
        return 0;
    }
    const auto expected = static_cast<unsigned char>(frame[matched]);
    if (matched == 0) {
        if (byte == STX) {
            matched = 1;
            return 0;
        }
        passOn[0] = byte;
        return 1;
    }
    if (matched == 1 && byte != expected) {
        // STX without the prefix begins no echo of ours: it was the gauge's own.
        passOn[0] = STX;
        matched = 0;
        return 1 + take(byte, passOn + 1);
    }
    if (byte == expected) {
        ++matched;
        return 0;
    }
    garbled = true;
    received = matched + 1;
    garbledEnded = byte == ETX || received >= length;
    return 0;
}

}  // namespace valbrix
