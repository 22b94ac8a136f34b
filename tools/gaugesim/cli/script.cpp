#include "script.h"

#include <fstream>

#include "gauge_text.h"
#include "gaugesim/errors.h"
#include "parsing.h"

namespace {

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        found.push_back(text.substr(at, end - at));
        at = end;
    }
    return found;
}

}  // namespace

std::optional<Action> parseAction(std::string_view line, std::string& error) {
    error.clear();
    const std::vector<std::string_view> word = words(line);
    if (word.empty() || word[0].front() == '#') return std::nullopt;
    const std::string_view verb = word[0];
    const std::size_t arguments = word.size() - 1;
    Action action;
    const auto fail = [&](const char* usage) {
        error = std::string("expected \"") + usage + "\"";
        return std::nullopt;
    };
    if (verb == "line") {
        // Everything after "line " is the text, spaces included: readings are aligned with them.
        const std::size_t start = line.find("line") + 4;
        action.kind = Action::Kind::Line;
        action.text = toGaugeText(start < line.size() ? line.substr(start + 1) : std::string_view());
        return action;
    }
    if (verb == "reading") {
        const auto number = arguments == 3 ? parseNumber(word[1], 0) : std::nullopt;
        if (!number) return fail("reading NUMBER VALUE UNIT");
        action = {Action::Kind::Reading, toGaugeText(word[2]), toGaugeText(word[3]), *number};
        return action;
    }
    if (verb == "readings") {
        const auto count = arguments == 3 ? parseNumber(word[1], 0) : std::nullopt;
        const auto pause = arguments == 3 ? parseNumber(word[2], 0) : std::nullopt;
        if (!count || !pause) return fail("readings COUNT MILLISECONDS UNIT");
        action = {Action::Kind::Readings, {}, toGaugeText(word[3]), *count, *pause};
        return action;
    }
    if (verb == "banner") {
        const auto model = arguments == 1 ? parseNumber(word[1], 0) : std::nullopt;
        if (!model) return fail("banner MODEL");
        action = {Action::Kind::Banner, {}, {}, *model};
        return action;
    }
    if (verb == "dump") {
        const auto count = arguments == 3 ? parseNumber(word[1], 0) : std::nullopt;
        const auto columns = arguments == 3 ? parseNumber(word[2], 1) : std::nullopt;
        if (!count || !columns) return fail("dump COUNT COLUMNS UNIT");
        action = {Action::Kind::Dump, {}, toGaugeText(word[3]), *count, 0, *columns};
        return action;
    }
    if (verb == "stats") {
        if (arguments != 1) return fail("stats UNIT");
        action = {Action::Kind::Stats, {}, toGaugeText(word[1])};
        return action;
    }
    if (verb == "date") {
        if (arguments != 0) return fail("date");
        action.kind = Action::Kind::Date;
        return action;
    }
    if (verb == "wait" || verb == "unplug") {
        const auto pause = arguments == 1 ? parseNumber(word[1], 0) : std::nullopt;
        if (!pause) return fail(verb == "wait" ? "wait MILLISECONDS" : "unplug MILLISECONDS");
        action.kind = verb == "wait" ? Action::Kind::Wait : Action::Kind::Unplug;
        action.milliseconds = *pause;
        return action;
    }
    if (verb == "silent") {
        const auto on = arguments == 1 ? parseOnOff(word[1]) : std::nullopt;
        if (!on) return fail("silent on|off");
        action.kind = Action::Kind::Silent;
        action.on = *on;
        return action;
    }
    if (verb == "echo") {
        const auto mode = arguments == 1 ? parseEchoMode(word[1]) : std::nullopt;
        if (!mode) return fail("echo exact|none|wrong");
        action.kind = Action::Kind::Echo;
        action.echo = *mode;
        return action;
    }
    if (verb == "expect") {
        const auto limit = arguments == 2 ? parseNumber(word[2], 0) : std::optional<int>(-1);
        if ((arguments != 1 && arguments != 2) || !limit) return fail("expect COMMAND [MILLISECONDS]");
        action.kind = Action::Kind::Expect;
        action.text = std::string(word[1]);
        action.milliseconds = *limit;
        return action;
    }
    error = "unknown action \"" + std::string(verb) + "\"";
    return std::nullopt;
}

std::optional<std::vector<Action>> loadScript(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        gaugesim::reportSystemError("cannot read " + path);
        return std::nullopt;
    }
    std::vector<Action> actions;
    bool good = true;
    std::string line;
    std::string error;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::optional<Action> action = parseAction(line, error)) {
            actions.push_back(std::move(*action));
        } else if (!error.empty()) {
            gaugesim::reportError(path + ":" + std::to_string(number) + ": " + error);
            good = false;
        }
    }
    if (!good) return std::nullopt;
    return actions;
}
