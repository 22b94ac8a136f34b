#pragma once
// Windows-1252, the program's one text encoding (the gauges' µ is the single byte 0xB5), against
// Unicode code points, for the edges where other encodings come in.

#include <optional>
#include <string>
#include <string_view>

namespace valbrix {

// The code point of a byte; 0x80-0x9F are printable characters here, not the C1 controls.
char32_t unicodeOfCp1252(unsigned char byte);
// The byte of a code point; nothing when Windows-1252 has no such character.
std::optional<unsigned char> cp1252OfUnicode(char32_t codePoint);

// A text that is well-formed UTF-8 with at least one character beyond ASCII, every one of which
// Windows-1252 holds, as Windows-1252 ("2,7 \xC2\xB5m" gives "2,7 \xB5m"); nothing for any other
// text, which is then taken to be Windows-1252 already.
std::optional<std::string> cp1252FromUtf8(std::string_view text);
// The UTF-8 of a Windows-1252 text, character by character.
std::string utf8OfCp1252(std::string_view text);

}  // namespace valbrix
