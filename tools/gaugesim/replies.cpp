#include "gaugesim/replies.h"

namespace gaugesim {

std::string_view commandOf(std::string_view frame) {
    if (!frame.empty() && (frame[0] == '?' || frame[0] == '/' || frame[0] == '@')) frame.remove_prefix(1);
    return frame;
}

std::string echoOf(std::string_view frame, EchoMode mode) {
    if (mode == EchoMode::None) return {};
    std::string echo(1, '\x02');
    echo += frame;
    echo += '\x03';
    // Changing the last byte before ETX keeps the length and the framing, so only a host that compares
    // the echo byte for byte notices ("G00" comes back as "G01").
    if (mode == EchoMode::Wrong) ++echo[echo.size() - 2];
    return echo;
}

std::optional<std::string> replyTo(std::string_view frame, const Options& options) {
    const std::string_view command = commandOf(frame);
    std::string reply;
    if (command == "G00") {
        reply = "G" + (options.modelText.empty() ? std::to_string(options.model) : options.modelText);
    } else if (command == "G0A" && options.model == 6135) {
        reply = "G" + options.extendedText;
    } else if (options.answerFollowUps && (command == "G170000" || command == "G160000" || command == "G150000")) {
        reply = std::string(command.substr(0, 3)) + " OK";
    } else {
        return std::nullopt;
    }
    if (options.replyPrefix != 0) reply.insert(reply.begin(), options.replyPrefix);
    return reply;
}

}  // namespace gaugesim
