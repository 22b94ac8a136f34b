#include "gauge/report_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gauge/units.h"

namespace valbrix {
namespace {

const char* const sentG00 = "\x02?G00\x03";
const char* const sentG0A = "\x02?G0A\x03";

// Records arrive as the framing hands them on: the previous line end in front, ETX behind.
std::string record(const std::string& line) { return "\r\n" + line + "\x03"; }

ParseResult parse(const std::string& line, const GaugeView& gauge = {}, const char* lastCommand = "") {
    return parseLine(sentCommand(lastCommand), record(line).c_str(), gauge);
}

TEST(ReportParser, ValueLines) {
    struct Case {
        const char* line;
        int number;
        float value;
        int integerDigits;
        int decimals;
        int unit;
    };
    const Case cases[] = {
        {"  12:  4.56 mm", 12, 456.0f * (0.1f / 10.0f), 1, 2, UnitMillimetre},
        {"  3:  -0,75 MILS", 3, -(75.0f * (0.1f / 10.0f)), 2, 2, UnitMil},
        {"  7:  --- um", 7, NoValue, 6, 0, UnitNone},
        {"7:  ---", 7, NoValue, 3, 0, UnitNone},
        {"2: 12.3 um/s", 2, 123.0f * 0.1f, 2, 1, UnitNone},
        {"  1:  - 4.5 mm", 1, -(45.0f * 0.1f), 3, 1, UnitMillimetre},  // minus apart from its digits
        {"  4:  123 um", 4, 123.0f, 3, 0, UnitMicrometre},
        {"  9:  50 %", 9, 50.0f, 2, 0, UnitPercent},
        {"  8:  0.2340 in/us", 8, 2340.0f * (((0.1f / 10.0f) / 10.0f) / 10.0f), 1, 4, UnitInchPerMicrosecond},
        {"  6:  12.5", 6, 125.0f * 0.1f, 2, 1, UnitNone},
        {"12.7: 45 mm", 12, 45.0f, 2, 0, UnitMillimetre},         // the number is cut, not rounded
        {" -3.7:  45 mm", -3, 45.0f, 2, 0, UnitMillimetre},
        {"  5:  4.5 mm\xB5\xA0", 5, 45.0f * 0.1f, 1, 1, UnitMillimetre},  // bytes above ASCII at the end go
        {"  5:  44444444444444444444444444444444444444444444444444 mm", 5, NoValue, 50, 0, UnitMillimetre},  // beyond a float
        {"  5:  -44444444444444444444444444444444444444444444444444 mm", 5, NoValue, 51, 0, UnitMillimetre},
    };
    for (const Case& c : cases) {
        const ParseResult result = parse(c.line);
        ASSERT_TRUE(result.value.has_value()) << c.line;
        EXPECT_EQ(result.value->number, c.number) << c.line;
        EXPECT_EQ(result.value->value, c.value) << c.line;
        EXPECT_EQ(result.value->integerDigits, c.integerDigits) << c.line;
        EXPECT_EQ(result.value->decimals, c.decimals) << c.line;
        EXPECT_EQ(result.value->unit, c.unit) << c.line;
    }
}

TEST(ReportParser, DroppedLines) {
    const char* const lines[] = {
        "12.05.2020 10:31",       // date and time
        "Mean:  12.3 um",         // statistics lines begin with a word
        "5: 123.4 Gauss/h",       // more than five letters
        "1    4.56 MM",           // no colon, and the sixth character is no space
        "12",                     // too short
        "1:",
        "#GridX: 3",              // markers are never values
        "  12  4.56",             // no colon at all
        "",
        "Lauf 3",
        "$ 1: 2 mm",
    };
    for (const char* line : lines) EXPECT_FALSE(parse(line).value.has_value()) << line;
}

TEST(ReportParser, UnitWords) {
    struct Case {
        const char* word;
        int unit;
    };
    const Case cases[] = {
        {"um", UnitMicrometre},   {"UM", UnitMicrometre}, {"mm", UnitMillimetre},       {"MILS", UnitMil},
        {"mil", UnitMil},         {"inch", UnitInch},     {"In", UnitInch},             {"%", UnitPercent},
        {"mT", UnitMillitesla},   {"MT", UnitMillitesla}, {"A/cm", UnitAmperePerCm},    {"kA/m", UnitKiloAmperePerM},
        {"Gauss", UnitGauss},     {"in/us", UnitInchPerMicrosecond},                    {"M/S", UnitMetrePerSecond},
        {"us", UnitMicrosecond},  {"ns", UnitNanosecond}, {"\xB5m", UnitNone},           {"mm/s", UnitNone},
        {"m", UnitNone},          {"mls", UnitNone},
    };
    for (const Case& c : cases) {
        const ParseResult result = parse(std::string("  1:  1.5 ") + c.word, GaugeView{7483, '/', false});
        ASSERT_TRUE(result.value.has_value()) << c.word;
        EXPECT_EQ(result.value->unit, c.unit) << c.word;
    }
}

// A magnetic unit on a value line means a MAGNOTELLAR is printing, whatever model was set.
TEST(ReportParser, EveryMagneticUnitNamesAMagnotellar) {
    struct Case {
        const char* word;
        bool magnetic;
    };
    const Case cases[] = {{"mT", true},  {"A/cm", true}, {"kA/m", true}, {"Gauss", true},
                          {"%", false},  {"in/us", false}, {"um", false}, {"", false}};
    for (const Case& c : cases) {
        const ParseResult result = parse(std::string("  1:  1.5 ") + c.word, GaugeView{6121, '?', false});
        EXPECT_EQ(result.modelNumber.value_or(0), c.magnetic ? 7480 : 0) << c.word;
        EXPECT_EQ(result.commandPrefix.value_or(0), c.magnetic ? '/' : 0) << c.word;
    }
}

// A gauge may echo a command prefix in front of a line: '?', '@', '/' or the current one.
TEST(ReportParser, APrefixInFrontOfALineIsTakenOff) {
    struct Case {
        char prefix;
        const char* line;
        bool value;
    };
    const Case cases[] = {{'#', "?  1:  4.5 mm", true}, {'#', "@  1:  4.5 mm", true}, {'#', "/  1:  4.5 mm", true},
                          {'#', "#  1:  4.5 mm", true}, {'?', "#  1:  4.5 mm", false}, {'#', "??  1:  4.5 mm", false}};
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.line, GaugeView{6121, c.prefix, false}).value.has_value(), c.value)
            << c.line << " with " << c.prefix;
}

TEST(ReportParser, ColonlessPulsovantLines) {
    GaugeView unnamed;
    unnamed.modelTextEmpty = true;
    ParseResult result = parse("00012 4.56 MM", unnamed);
    ASSERT_TRUE(result.value.has_value());
    EXPECT_EQ(result.value->number, 12);
    EXPECT_EQ(result.value->unit, UnitMillimetre);
    ASSERT_TRUE(result.modelText.has_value());
    EXPECT_STREQ(result.modelText->text, "5264");
    EXPECT_TRUE(result.markIdentified);
    EXPECT_FALSE(result.modelNumber.has_value());

    result = parse("00012 4.56 MM");  // a named gauge keeps its name
    ASSERT_TRUE(result.value.has_value());
    EXPECT_FALSE(result.modelText.has_value());
    EXPECT_FALSE(result.markIdentified);
}

TEST(ReportParser, MagneticUnitsNameAMagnotellar) {
    ParseResult result = parse("5: 123.4 Gauss", GaugeView{6121, '?', false});
    ASSERT_TRUE(result.value.has_value());
    EXPECT_EQ(result.value->unit, UnitGauss);
    EXPECT_EQ(result.modelNumber, 7480);
    EXPECT_STREQ(result.modelText->text, "748x");
    EXPECT_EQ(result.commandPrefix, '/');
    EXPECT_FALSE(result.markIdentified);

    result = parse("5: 12.3 kA/m", GaugeView{7483, '/', false});
    EXPECT_EQ(result.value->unit, UnitKiloAmperePerM);
    EXPECT_FALSE(result.modelNumber.has_value());
}

TEST(ReportParser, IdentificationReplies) {
    struct Case {
        const char* line;
        const char* lastCommand;
        const char* modelText;  // nullptr: left alone
        int modelNumber;        // 0: left alone
        char prefix;            // 0: left alone
        bool identified;
        bool notify;
        bool askExtended;
    };
    const Case cases[] = {
        {"G6121", sentG00, "6121", 0, 0, true, true, false},
        {"?G6121", sentG00, "6121", 0, 0, true, true, false},
        {"/G7483 V1", sentG00, "7483 V1", 7483, '/', true, true, false},
        {"G5267 3.02", sentG00, "5267 3.02", 5267, '?', true, true, false},
        {"@G8525", sentG00, "8525", 8525, '@', true, true, false},
        {"G6135", sentG00, "", 0, 0, true, false, true},
        {"G6135 FN", sentG0A, "6135 FN", 0, 0, true, true, false},
        {"G", sentG0A, "", 0, 0, true, true, false},
        {"G6121", "", nullptr, 0, 0, false, false, false},                  // nothing was asked
        {"G17 OK", "\x02?G170000\x03", nullptr, 0, 0, false, false, false},  // answers to follow-ups
        {"G6121", "?G00", "6121", 0, 0, true, true, false},                  // frame without STX and ETX
    };
    for (const Case& c : cases) {
        const ParseResult result = parse(c.line, GaugeView{}, c.lastCommand);
        EXPECT_EQ(result.markIdentified, c.identified) << c.line;
        EXPECT_EQ(result.identificationReply, c.notify) << c.line;
        EXPECT_EQ(result.queueExtendedIdentification, c.askExtended) << c.line;
        EXPECT_EQ(result.modelText.has_value(), c.modelText != nullptr) << c.line;
        if (c.modelText != nullptr && result.modelText) {
            EXPECT_STREQ(result.modelText->text, c.modelText) << c.line;
        }
        EXPECT_EQ(result.modelNumber.value_or(0), c.modelNumber) << c.line;
        EXPECT_EQ(result.commandPrefix.value_or(0), c.prefix) << c.line;
        EXPECT_FALSE(result.value.has_value()) << c.line;
    }
}

TEST(ReportParser, TheFirstLineAfterACommandPreparesItOnce) {
    struct Case {
        const char* frame;
        char prefix;  // current when the line arrives
        const char* prepared;
    };
    const Case cases[] = {
        {sentG00, '?', "G00"},
        {"\x02@G0A\x03", '@', "G0A"},
        {"?G00", '?', "G00"},
        {"G00", '?', "G00"},
        {sentG00, '/', "?G00"},  // the prefix of the moment decides
        {"\x02?\x03", '?', ""},
    };
    for (const Case& c : cases) {
        LastCommand command = sentCommand(c.frame);
        const ParseResult result = parseLine(command, record("  1:  4.5 mm").c_str(), GaugeView{6121, c.prefix, false});
        ASSERT_TRUE(result.preparedCommand.has_value()) << c.frame;
        prepare(command, *result.preparedCommand);
        EXPECT_STREQ(command.text, c.prepared) << c.frame;
        EXPECT_TRUE(command.prepared) << c.frame;
        EXPECT_FALSE(parseLine(command, record("  2:  4.5 mm").c_str(), GaugeView{}).preparedCommand.has_value())
            << c.frame;
    }
    EXPECT_FALSE(parseLine(LastCommand{}, record("  1:  4.5 mm").c_str(), GaugeView{}).preparedCommand.has_value());
}

// G00 goes out with '?'; a value in mT makes the gauge a MAGNOTELLAR with the prefix '/' before the
// reply arrives. The command, prepared by the value line, still names the identification request.
TEST(ReportParser, TheCommandCodeStaysWhenALineSwitchesThePrefix) {
    LastCommand command = sentCommand(sentG00);
    ParseResult result = parseLine(command, record("1: 5.0 mT").c_str(), GaugeView{6121, '?', false});
    EXPECT_EQ(result.commandPrefix, '/');
    prepare(command, *result.preparedCommand);
    for (const char* reply : {"G7483", "G7482 V2"}) {
        result = parseLine(command, record(reply).c_str(), GaugeView{7480, '/', false});
        EXPECT_TRUE(result.markIdentified) << reply;
        EXPECT_TRUE(result.identificationReply) << reply;
        EXPECT_EQ(result.modelText->text, std::string(reply + 1)) << reply;
    }
    // Prepared once means the prefix is not taken off again: a command kept as "?G00" names no
    // identification request.
    LastCommand keptWithPrefix = sentCommand("?G00");
    keptWithPrefix.prepared = true;
    EXPECT_FALSE(parseLine(keptWithPrefix, record("G6121").c_str(), GaugeView{}).markIdentified);
}

TEST(ReportParser, BannersAndMarkers) {
    struct Case {
        const char* line;
        const char* modelText;
        int modelNumber;
        char prefix;
        int gridColumns;  // -1: left alone
    };
    const Case cases[] = {
        {"--- PULSOVANT   5264 ---", "5264", 5264, 0, -1},
        {"====== Pulsovant 5267 ===========", "5267", 5267, '@', 0},
        {"=== VARNITRON 6141 ===   ", "6141", 6141, '?', -1},  // trailing blanks go first
        {"=== VARNITRON 6141 ===\xB5\xFF", "6141", 6141, '?', -1},
        {"* Statistische Werte *", "7482", 7482, '/', -1},
        {"====== QMV 8525 ======", "8525", 8525, '@', -1},
        {"--- POCKET VARNITRON ---", nullptr, 0, 0, -1},
        {"ODEN  MALVERT  KESTRAVIN", nullptr, 0, 0, -1},
        {"Angle:-12.5 deg", nullptr, 0, 0, -1},
        {"#GridX: 5", nullptr, 0, 0, 5},
        {"#GridX:", nullptr, 0, 0, 0},
        {"#GridY: 5", nullptr, 0, 0, -1},
        {"#FileEnd:", nullptr, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const ParseResult result = parse(c.line);
        EXPECT_FALSE(result.value.has_value()) << c.line;
        EXPECT_EQ(result.markIdentified, c.modelText != nullptr) << c.line;
        if (c.modelText != nullptr) {
            ASSERT_TRUE(result.modelText.has_value()) << c.line;
            EXPECT_STREQ(result.modelText->text, c.modelText) << c.line;
        }
        EXPECT_EQ(result.modelNumber.value_or(0), c.modelNumber) << c.line;
        EXPECT_EQ(result.commandPrefix.value_or(0), c.prefix) << c.line;
        EXPECT_EQ(result.gridColumns.value_or(-1), c.gridColumns) << c.line;
        EXPECT_FALSE(result.identificationReply) << c.line;
    }
}

TEST(ReportParser, OverlongLinesAreCutNotOverrun) {
    const std::string longReply = "G" + std::string(300, '7');
    ParseResult result = parse(longReply, GaugeView{}, sentG00);
    ASSERT_TRUE(result.modelText.has_value());
    EXPECT_EQ(std::strlen(result.modelText->text), workingLineSize - 1);

    const std::string longValue = "  1:  " + std::string(200, '9');
    result = parse(longValue);
    ASSERT_TRUE(result.value.has_value());
    EXPECT_EQ(result.value->integerDigits, static_cast<int>(workingLineSize) - 6);
}

}  // namespace
}  // namespace valbrix
