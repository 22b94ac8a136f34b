#include "gauge_text.h"

#include <cstdint>
#include <cstdio>

namespace {

// The characters Windows-1252 puts at 0x80..0x9F, where Latin-1 has control codes; 0 where it has none.
constexpr char16_t highControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The Windows-1252 byte for a character, or -1 when it has none.
int windows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] != 0 && highControls[i] == c) return 0x80 + i;
    }
    return -1;
}

// Decodes one UTF-8 sequence of two or three bytes at text[i]; returns its length, 0 if there is none.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const auto follows = [&](std::size_t k) { return k < text.size() && (byte(k) & 0xC0) == 0x80; };
    if ((byte(i) & 0xE0) == 0xC0 && follows(i + 1)) {
        c = (char32_t(byte(i) & 0x1F) << 6) | (byte(i + 1) & 0x3F);
        return c >= 0x80 ? 2 : 0;
    }
    if ((byte(i) & 0xF0) == 0xE0 && follows(i + 1) && follows(i + 2)) {
        c = (char32_t(byte(i) & 0x0F) << 12) | (char32_t(byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
        return c >= 0x800 ? 3 : 0;
    }
    return 0;
}

}  // namespace

std::string toGaugeText(std::string_view typed) {
    std::string text;
    for (std::size_t i = 0; i < typed.size();) {
        if (typed[i] == '\\' && i + 1 < typed.size() && typed[i + 1] == '\\') {
            text += '\\';
            i += 2;
            continue;
        }
        if (typed[i] == '\\' && i + 3 < typed.size() && typed[i + 1] == 'x' && hexDigit(typed[i + 2]) >= 0 &&
            hexDigit(typed[i + 3]) >= 0) {
            text += static_cast<char>(hexDigit(typed[i + 2]) * 16 + hexDigit(typed[i + 3]));
            i += 4;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = decodeUtf8(typed, i, c);
        if (length > 0 && windows1252(c) >= 0) {
            text += static_cast<char>(windows1252(c));
            i += length;
            continue;
        }
        text += typed[i++];
    }
    return text;
}

std::string printable(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}
