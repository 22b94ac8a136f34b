#include "gauge/catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "gauge/measured_value.h"
#include "gauge/units.h"

namespace valbrix {
namespace {

TEST(Catalogue, FormatValue) {
    struct Case {
        float value;
        int unit;
        int integerDigits;
        int decimals;
        int model;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {123.44f, UnitMicrometre, 3, 2, 6121, '.', "123"},
        {99.96f, UnitMicrometre, 2, 2, 6121, '.', "100.0"},  // the threshold looks at the value, not the text
        {0.5f, UnitMillimetre, 1, 1, 6121, '.', "0.500"},
        {1.5f, UnitMillimetre, 1, 1, 6121, '.', "1.50"},
        {1.5f, UnitMillimetre, 1, 1, 8525, '.', "1.5"},
        {0.5f, UnitMillimetre, 1, 1, 8525, '.', "0.5"},
        {4.56f, UnitMillimetre, 1, 2, 6121, ',', "4,56"},
        {9.99f, UnitMil, 1, 2, 6121, '.', "9.99"},
        {10.0f, UnitMil, 2, 0, 6121, '.', "10.0"},
        {150.4f, UnitMil, 3, 1, 6121, '.', "150"},
        {0.1234f, UnitInch, 1, 4, 6121, '.', ".1234"},
        {-0.1234f, UnitInch, 2, 4, 6121, '.', "-0.1234"},
        {1.5f, UnitInch, 1, 1, 6121, ',', "1,5000"},
        {1.234f, UnitKiloAmperePerM, 1, 3, 7482, '.', "1.234"},
        {2.0f, UnitKiloAmperePerM, 1, 0, 7482, '.', "2.00"},
        {25.5f, UnitMillitesla, 2, 1, 7482, '.', "25.5"},
        {1.234f, UnitKiloAmperePerM, 1, 3, 7483, '.', "1.23"},
        {250.0f, UnitMillitesla, 3, 0, 7483, '.', "250"},
        {15.0f, UnitMillitesla, 2, 0, 7483, '.', "15.0"},
        {150.0f, UnitGauss, 3, 0, 7480, '.', "150"},
        {15.26f, UnitGauss, 2, 2, 7480, '.', "15.3"},
        {9.94f, UnitAmperePerCm, 1, 2, 7480, '.', "9.9"},
        {12.3f, UnitMicrometre, 2, 2, 5267, '.', "12.30"},  // 5267 keeps the digits it printed
        {0.2340f, UnitInchPerMicrosecond, 1, 4, 5267, ',', "0,2340"},
        {50.0f, UnitPercent, 2, 0, 6121, '.', "50"},
        {12.25f, UnitPercent, 2, 2, 6121, ',', "12,25"},
        {3.5f, UnitMicrosecond, 1, 3, 5265, '.', "3.500"},
        {120.0f, UnitNanosecond, 3, 0, 5265, '.', "120"},
        {5900.0f, UnitMetrePerSecond, 4, 0, 5265, '.', "5900"},
        {0.2340f, UnitInchPerMicrosecond, 1, 4, 5265, '.', "0.2340"},
        {1.5f, UnitNone, 1, 1, 6121, '.', "1.5000"},
        {1.0f, 99, 1, 0, 6121, '.', "1.0000"},  // a code no gauge sends formats as unrecognised
        // Exact ties go away from zero on every system.
        {1.125f, UnitMillimetre, 1, 3, 6121, '.', "1.13"},
        {-1.125f, UnitMillimetre, 2, 3, 6121, ',', "-1,13"},
        {100.5f, UnitMicrometre, 3, 1, 6121, '.', "101"},
        {1.25f, UnitMillimetre, 1, 2, 8525, ',', "1,3"},
        {10.25f, UnitMil, 2, 2, 6121, '.', "10.3"},
        {0.03125f, UnitInch, 1, 5, 6121, '.', ".0313"},
        {2.125f, UnitKiloAmperePerM, 1, 3, 7482, '.', "2.13"},
        {10.25f, UnitGauss, 2, 2, 7480, '.', "10.3"},
        {2.5f, UnitMetrePerSecond, 1, 1, 5265, '.', "3"},
        {12.125f, UnitPercent, 2, 2, 6121, '.', "12.13"},
        {0.125f, UnitMillimetre, 1, 2, 5267, '.', "0.13"},
        // The gauge's digit counts: integerDigits is the least width, filled with spaces.
        {12.0f, UnitPercent, 5, 0, 6121, '.', "   12"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatValue(c.value, c.unit, c.integerDigits, c.decimals, c.model, c.separator), c.text)
            << c.value << " unit " << c.unit << " model " << c.model;
    }
}

TEST(Catalogue, FormatValueWithAbsurdDigitCountsStaysBounded) {
    const std::string text = formatValue(1.5f, UnitPercent, 1000, 1000, 5267, '.');
    EXPECT_EQ(text.size(), 99u + 2u);  // "1." and the largest number of decimals a gauge line can carry
    EXPECT_EQ(formatValue(NoValue, UnitMicrometre, 3, 0, 6121, '.'), "-89999998976");
}

TEST(Catalogue, DisplayName) {
    struct Case {
        const char* modelText;
        const char* name;
    };
    const Case cases[] = {
        {"6121", "Pocket-VARNITRON 6121"}, {"6142", "VARNITRON 6142"}, {"5264", "PULSOVANT 5264"},
        {"7483", "MAGNOTELLAR 7483"},      {"8525", "QMV 8525"},        {"748x", "748x"},
        {"?", "?"},                        {"", ""},                    {"6121 ", "6121 "},
        {"8526", "8526"},
    };
    for (const Case& c : cases) EXPECT_EQ(displayName(c.modelText), c.name) << c.modelText;
}

TEST(Catalogue, UnitText) {
    struct Case {
        int unit;
        const char* micro;  // with the display choice that shows µ
        const char* plain;  // with the one that spells it u
    };
    const Case cases[] = {
        {UnitNone, "?", "?"},
        {UnitMicrometre, "\xB5m", "um"},
        {UnitMillimetre, "mm", "mm"},
        {UnitMil, "mil", "mil"},
        {UnitInch, "inch", "inch"},
        {UnitPercent, "%", "%"},
        {UnitMillitesla, "mT", "mT"},
        {UnitAmperePerCm, "A/cm", "A/cm"},
        {UnitKiloAmperePerM, "kA/m", "kA/m"},
        {UnitGauss, "Gauss", "Gauss"},
        {UnitInchPerMicrosecond, "Inch/\xB5s", "Inch/us"},
        {UnitMetrePerSecond, "m/s", "m/s"},
        {UnitMicrosecond, "\xB5s", "us"},
        {UnitNanosecond, "ns", "ns"},
        {99, "?", "?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unitText(c.unit, unitDisplayOf("2,7 \xB5m/mil/Tesla")), c.micro) << c.unit;
        EXPECT_EQ(unitText(c.unit, unitDisplayOf("2,7 um/mil/Tesla")), c.plain) << c.unit;
        EXPECT_EQ(unitText(c.unit, unitDisplayOf("2,7")), "") << c.unit;
    }
    EXPECT_EQ(unitDisplayOf(""), UnitDisplay::None);
    EXPECT_EQ(unitDisplayOf("2,7 UM/MIL"), UnitDisplay::PlainU);
}

TEST(Catalogue, ModelGroups) {
    EXPECT_EQ(modelGroupOf(7483), 1);
    EXPECT_EQ(modelGroupOf(6121), 1);
    EXPECT_EQ(modelGroupOf(0), 1);
    EXPECT_EQ(modelGroupOf(7482), 2);
    EXPECT_EQ(modelGroupOf(6141), 2);
    EXPECT_EQ(modelGroupOf(8525), 2);
}

}  // namespace
}  // namespace valbrix
