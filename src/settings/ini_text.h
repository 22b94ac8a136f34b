#pragma once
// The text of a settings file read the way the Windows profile calls read it: "[Section]" headers and
// "key=value" lines, names matched ignoring ASCII case, blanks around names and values dropped, the
// first matching section and the first matching key in it taken. Any other line (a comment, a line
// without "=", binary junk) never matches and is kept as it is.

#include <optional>
#include <string>
#include <string_view>

namespace valbrix {

// The key's value, up to its first NUL byte and without surrounding matching quotes; nothing when the
// section or the key is missing.
std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key);

// text with the key's value replaced, or else the key added at the end of its section, or else the
// section added at the end of the text. Every other line keeps its bytes; new lines take the line end
// the text already uses (CR LF for a text without any).
std::string iniWithValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace valbrix
