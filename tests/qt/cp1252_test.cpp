#include "qt/cp1252.h"

#include <gtest/gtest.h>

#include <QList>

namespace valbrix {
namespace {

TEST(Cp1252, BytesBecomeTheirCharactersAndBack) {
    struct Case {
        unsigned char byte;
        char32_t character;
    };
    const Case cases[] = {
        {'A', U'A'},       {0xB5, U'\u00B5'}, {0xE4, U'\u00E4'}, {0xFC, U'\u00FC'}, {0xDF, U'\u00DF'},
        {0x80, U'\u20AC'}, {0x8A, U'\u0160'}, {0x96, U'\u2013'}, {0x9F, U'\u0178'},
        // Unassigned in Windows-1252: kept as their own code point, as Windows does.
        {0x81, U'\u0081'}, {0x9D, U'\u009D'},
    };
    for (const Case& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        const QString text = fromCp1252(byte);
        ASSERT_EQ(text.size(), 1) << int(c.byte);
        EXPECT_EQ(text.toUcs4().front(), static_cast<uint>(c.character)) << int(c.byte);
        EXPECT_EQ(toCp1252(text), byte) << int(c.byte);
    }
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(toCp1252(QString::fromUtf8("2 \u2192 3 \U0001F600 \u00B5m")), "2 ? 3 ? \xB5m");
}

}  // namespace
}  // namespace valbrix
