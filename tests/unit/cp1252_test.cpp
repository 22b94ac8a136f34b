#include "common/cp1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace valbrix {
namespace {

TEST(Cp1252, FromUtf8TakesOnlyWellFormedTextWindowsCanHold) {
    struct Case {
        const char* text;
        std::optional<std::string> converted;
    };
    const Case cases[] = {
        {"2,7 \xC2\xB5m", "2,7 \xB5m"},
        {"\xE2\x82\xAC \xC5\xA0 \xE2\x84\xA2", "\x80 \x8A \x99"},  // the printable range 0x80-0x9F
        {"Ma\xC3\x9F", "Ma\xDF"},
        {"2,7 \xB5m", std::nullopt},        // Windows-1252 already
        {"TAB,DOWN", std::nullopt},         // plain ASCII reads as it is anyway
        {"\xE4\xB8\xAD", std::nullopt},     // a character Windows-1252 does not have
        {"\xC0\xB5", std::nullopt},         // over-long
        {"\xC2", std::nullopt},             // cut short
        {"\xED\xA0\x80", std::nullopt},     // a surrogate
        {"\xC2\xB5\xB5", std::nullopt},     // UTF-8 and Windows-1252 mixed
    };
    for (const Case& c : cases) EXPECT_EQ(cp1252FromUtf8(c.text), c.converted) << c.text;
}

TEST(Cp1252, EveryByteGoesToUnicodeAndBack) {
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t codePoint = unicodeOfCp1252(static_cast<unsigned char>(byte));
        EXPECT_EQ(cp1252OfUnicode(codePoint), static_cast<unsigned char>(byte)) << byte;
        const std::string one(1, static_cast<char>(byte));
        if (byte >= 0x80) EXPECT_EQ(cp1252FromUtf8(utf8OfCp1252(one)), one) << byte;
        else EXPECT_EQ(utf8OfCp1252(one), one) << byte;
    }
    EXPECT_EQ(utf8OfCp1252("2,7 \xB5m \x80"), "2,7 \xC2\xB5m \xE2\x82\xAC");
    EXPECT_EQ(unicodeOfCp1252(0x80), U'\u20AC');
    EXPECT_EQ(unicodeOfCp1252(0xB5), U'\u00B5');
    EXPECT_EQ(cp1252OfUnicode(U'\u4E2D'), std::nullopt);
}

}  // namespace
}  // namespace valbrix
