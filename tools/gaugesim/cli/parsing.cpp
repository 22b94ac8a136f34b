#include "parsing.h"

#include <charconv>

std::optional<int> parseNumber(std::string_view text, int minimum) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum) return std::nullopt;
    return value;
}

std::optional<gaugesim::EchoMode> parseEchoMode(std::string_view text) {
    if (text == "exact") return gaugesim::EchoMode::Exact;
    if (text == "none") return gaugesim::EchoMode::None;
    if (text == "wrong") return gaugesim::EchoMode::Wrong;
    return std::nullopt;
}

std::optional<gaugesim::LineEnd> parseLineEnd(std::string_view text) {
    if (text == "crlf") return gaugesim::LineEnd::CrLf;
    if (text == "lf") return gaugesim::LineEnd::Lf;
    if (text == "cr") return gaugesim::LineEnd::Cr;
    return std::nullopt;
}

std::optional<bool> parseOnOff(std::string_view text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}
