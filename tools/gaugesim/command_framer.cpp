#include "gaugesim/command_framer.h"

namespace gaugesim {
namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';

}  // namespace

std::vector<std::string> CommandFramer::feed(std::string_view bytes) {
    std::vector<std::string> frames;
    for (const char byte : bytes) {
        if (byte == kStx) {
            segments_.emplace_back(1, kStx);
            inFrame_ = true;
            segmentOpen_ = true;
            continue;
        }
        if (!segmentOpen_) {
            segments_.emplace_back();
            segmentOpen_ = true;
        }
        std::string& segment = segments_.back();
        segment += byte;
        if (inFrame_ && byte == kEtx) {
            frames.push_back(segment.substr(1, segment.size() - 2));
            inFrame_ = false;
            segmentOpen_ = false;
        }
    }
    return frames;
}

void CommandFramer::abandonFrame() {
    inFrame_ = false;
    segmentOpen_ = false;
}

}  // namespace gaugesim
