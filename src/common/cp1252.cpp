#include "common/cp1252.h"

namespace valbrix {
namespace {

// The five unassigned bytes keep their own code point, as Windows maps them.
constexpr char16_t upperControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The code point of the UTF-8 sequence at text[at], and its length; length 0 when it is malformed
// (a stray continuation byte, a sequence cut short, an over-long form, a surrogate, beyond U+10FFFF).
struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

Decoded decodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length;
    char32_t codePoint;
    if (lead < 0x80) return {lead, 1};
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, codePoint = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, codePoint = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, codePoint = lead & 0x07;
    else return {};
    if (at + length > text.size()) return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return {};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    constexpr char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < shortest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {};
    return {codePoint, length};
}

}  // namespace

char32_t unicodeOfCp1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? upperControlRange[byte - 0x80] : byte;
}

std::optional<unsigned char> cp1252OfUnicode(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<unsigned char>(codePoint);
    for (unsigned i = 0; i < 32; ++i)
        if (upperControlRange[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::optional<std::string> cp1252FromUtf8(std::string_view text) {
    std::string result;
    bool beyondAscii = false;
    for (std::size_t at = 0; at < text.size();) {
        const Decoded decoded = decodeAt(text, at);
        if (decoded.length == 0) return std::nullopt;
        const std::optional<unsigned char> byte = cp1252OfUnicode(decoded.codePoint);
        if (!byte) return std::nullopt;
        beyondAscii = beyondAscii || decoded.length > 1;
        result.push_back(static_cast<char>(*byte));
        at += decoded.length;
    }
    if (!beyondAscii) return std::nullopt;
    return result;
}

std::string utf8OfCp1252(std::string_view text) {
    std::string result;
    for (const char c : text) {
        const char32_t codePoint = unicodeOfCp1252(static_cast<unsigned char>(c));
        if (codePoint < 0x80) {
            result.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
            result.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
            result.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return result;
}

}  // namespace valbrix
