#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gaugesim/options.h"

namespace gaugesim {

// The command without the host's prefix character: "?G00" gives "G00".
std::string_view commandOf(std::string_view frame);
// What the gauge echoes for a frame received without STX and ETX; empty when it echoes nothing.
std::string echoOf(std::string_view frame, EchoMode mode);
// The gauge's answer to a frame, without the line end.
std::optional<std::string> replyTo(std::string_view frame, const Options& options);

}  // namespace gaugesim
