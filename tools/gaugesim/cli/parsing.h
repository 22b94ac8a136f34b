#pragma once

#include <optional>
#include <string_view>

#include "gaugesim/options.h"

// Words shared by the command line and scripts.
std::optional<int> parseNumber(std::string_view text, int minimum);
std::optional<gaugesim::EchoMode> parseEchoMode(std::string_view text);   // exact, none, wrong
std::optional<gaugesim::LineEnd> parseLineEnd(std::string_view text);     // crlf, lf, cr
std::optional<bool> parseOnOff(std::string_view text);
