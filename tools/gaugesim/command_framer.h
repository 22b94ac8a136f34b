#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gaugesim {

// Splits what the host writes into command frames. A frame runs from STX to ETX; an STX before the
// ETX starts the frame over, because a host that gave up on a frame sends it again whole.
class CommandFramer {
public:
    // The frames these bytes completed, without STX and ETX.
    std::vector<std::string> feed(std::string_view bytes);
    // Everything received so far: each frame (STX..ETX, or the one still open) is one element, and so
    // is each run of bytes between frames.
    const std::vector<std::string>& segments() const { return segmentTexts; }
    // After a replug the host starts over, so a half-received frame must not be completed by new bytes.
    void abandonFrame();

private:
    std::vector<std::string> segmentTexts;
    bool inFrame = false;
    bool segmentOpen = false;
};

}  // namespace gaugesim
