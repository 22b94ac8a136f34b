#include "qt/cp1252.h"

#include <QList>

namespace valbrix {
namespace {

// 0x80-0x9F are not the C1 controls in Windows-1252 but printable characters; the five unassigned
// bytes keep their own code point, as Windows maps them.
constexpr char16_t upperControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char toByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (upperControlRange[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QString fromCp1252(const std::string& text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        result.append(byte >= 0x80 && byte <= 0x9F ? QChar(upperControlRange[byte - 0x80]) : QChar(byte));
    }
    return result;
}

std::string toCp1252(const QString& text) {
    std::string result;
    for (const char32_t c : text.toUcs4()) result.push_back(toByte(c));
    return result;
}

}  // namespace valbrix
