#include "gaugesim/command_framer.h"

namespace gaugesim {
namespace {

constexpr char stx = '\x02';
constexpr char etx = '\x03';

}  // namespace

std::vector<std::string> CommandFramer::feed(std::string_view bytes) {
    std::vector<std::string> frames;
    for (const char byte : bytes) {
        if (byte == stx) {
            segmentTexts.emplace_back(1, stx);
            inFrame = true;
            segmentOpen = true;
            continue;
        }
        if (!segmentOpen) {
            segmentTexts.emplace_back();
            segmentOpen = true;
        }
        std::string& segment = segmentTexts.back();
        segment += byte;
        if (inFrame && byte == etx) {
            frames.push_back(segment.substr(1, segment.size() - 2));
            inFrame = false;
            segmentOpen = false;
        }
    }
    return frames;
}

void CommandFramer::abandonFrame() {
    inFrame = false;
    segmentOpen = false;
}

}  // namespace gaugesim
