#include "gauge/gauge_models.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "gauge/catalogue.h"
#include "gauge/receive_framing.h"
#include "gauge/report_parser.h"
#include "gauge/units.h"

namespace valbrix {
namespace {

// What each model does, seen from outside: one row per gauge model, written independently of the
// program's table so that a changed row there shows here.
struct Behaviour {
    int number;
    const char* displayName;
    char framingPrefix;        // '#': the framing leaves the prefix as it was
    bool closesAfterHighByte;  // CR after a byte of 0x80 or above ends the line
    bool closesOnLoneLf;       // LF after a printable byte ends the line
    char replyPrefix;          // '#': the identification reply leaves model and prefix
    bool asksG0A;
    bool keepsMagneticUnits;   // a magnetic unit on a value line leaves the model as it is
    const char* millimetres;   // 1.5 mm as number text
    const char* kiloAmperes;   // 1.234 kA/m as number text
    const char* printedTwoDecimals;  // 12.3 µm printed as "12.30"
    int modelGroupInMenu;
    int readFromSettingsAs;
};

constexpr Behaviour behaviours[] = {
    {5264, "PULSOVANT 5264", '#', false, false, '#', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {5265, "PULSOVANT 5265", '#', false, false, '?', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {5266, "PULSOVANT 5266", '#', false, false, '?', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {5267, "PULSOVANT 5267", '@', true, true, '?', false, false, "1.5", "1.234", "12.30", 1, 6121},
    {6118, "Pocket-VARNITRON 6118", '#', false, false, '#', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {6121, "Pocket-VARNITRON 6121", '?', false, true, '#', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {6126, "Pocket-VARNITRON 6126", '#', false, false, '#', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {6135, "6135", '#', false, false, '#', true, false, "1.50", "1.234", "12.3", 1, 6121},
    {6141, "VARNITRON 6141", '#', false, false, '#', false, false, "1.50", "1.234", "12.3", 2, 6121},
    {6142, "VARNITRON 6142", '?', false, true, '#', false, false, "1.50", "1.234", "12.3", 1, 6121},
    {7480, "7480", '/', false, true, '#', false, true, "1.50", "1.234", "12.3", 1, 6121},
    {7482, "MAGNOTELLAR 7482", '/', false, true, '/', false, true, "1.50", "1.234", "12.3", 2, 7482},
    {7483, "MAGNOTELLAR 7483", '/', false, true, '/', false, true, "1.50", "1.23", "12.3", 1, 6121},
    {8525, "QMV 8525", '?', false, true, '@', false, false, "1.5", "1.234", "12.3", 2, 8525},
    {8526, "8526", '#', false, false, '@', false, false, "1.50", "1.234", "12.3", 1, 6121},
};

std::vector<std::string> framed(int model, const std::string& bytes, char& prefix) {
    ReceiveFraming framing;
    std::vector<std::string> records;
    for (const char c : bytes)
        framing.handle(static_cast<unsigned char>(c), model, prefix,
                       [&records](const char* record) { records.emplace_back(record); });
    return records;
}

TEST(GaugeModels, EveryModelHasItsBehaviourAndNoOtherModelIsKnown) {
    std::set<int> inTable;
    for (const GaugeModel& model : gaugeModels()) inTable.insert(model.number);
    std::set<int> described;
    for (const Behaviour& b : behaviours) described.insert(b.number);
    EXPECT_EQ(inTable, described);
}

TEST(GaugeModels, EachRowShowsInTheFramingTheParserAndTheCatalogue) {
    for (const Behaviour& b : behaviours) {
        SCOPED_TRACE(b.number);
        const std::string digits = std::to_string(b.number);
        EXPECT_EQ(displayName(digits.c_str()), b.displayName);

        char prefix = '#';
        EXPECT_EQ(framed(b.number, "12\xB5\r34\x03", prefix).size(), b.closesAfterHighByte ? 2u : 1u);
        EXPECT_EQ(prefix, b.framingPrefix);
        prefix = '#';
        EXPECT_EQ(framed(b.number, "12\n34\x03", prefix).size(), b.closesOnLoneLf ? 2u : 1u);

        const GaugeView view{modelGroup1Device, '#', false};
        const ParseResult reply = parseLine(sentCommand("\x02#G00\x03"), ("\r\nG" + digits + "\x03").c_str(), view);
        EXPECT_TRUE(reply.markIdentified);
        EXPECT_EQ(reply.commandPrefix.value_or('#'), b.replyPrefix);
        EXPECT_EQ(reply.modelNumber.value_or(0), b.replyPrefix == '#' ? 0 : b.number);
        EXPECT_EQ(reply.queueExtendedIdentification, b.asksG0A);
        EXPECT_EQ(reply.identificationReply, !b.asksG0A);

        const ParseResult magnetic = parseLine(LastCommand{}, "\r\n 5: 1.2 mT\x03", GaugeView{b.number, '#', false});
        EXPECT_EQ(!magnetic.modelNumber.has_value(), b.keepsMagneticUnits);

        EXPECT_EQ(formatValue(1.5f, UnitMillimetre, 1, 1, b.number, '.'), b.millimetres);
        EXPECT_EQ(formatValue(1.234f, UnitKiloAmperePerM, 1, 3, b.number, '.'), b.kiloAmperes);
        EXPECT_EQ(formatValue(12.3f, UnitMicrometre, 2, 2, b.number, '.'), b.printedTwoDecimals);

        EXPECT_EQ(modelGroupOf(b.number), b.modelGroupInMenu);
        EXPECT_EQ(deviceFromSetting(b.number), b.readFromSettingsAs);
    }
}

TEST(GaugeModels, NumbersNoGaugeHasBehaveLikeTheUnlistedModels) {
    char prefix = '#';
    EXPECT_EQ(framed(6135, "12\r\n34\r\n", prefix), framed(1234, "12\r\n34\r\n", prefix));
    EXPECT_EQ(prefix, '#');
    EXPECT_EQ(findModel(1234), nullptr);
    EXPECT_EQ(findModelText("612"), nullptr);
    EXPECT_EQ(findModelText("61210"), nullptr);
    EXPECT_EQ(findModelTextPrefix("5267 V2")->number, 5267);
    EXPECT_EQ(displayName("1234"), "1234");
    EXPECT_EQ(modelGroupOf(1234), 1);
    EXPECT_EQ(deviceFromSetting(1234), modelGroup1Device);
}

}  // namespace
}  // namespace valbrix
