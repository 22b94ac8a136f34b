#include "program_facts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "temp_folder.h"

namespace valbrix::manual {
namespace {

TEST(ProgramFacts, SettingsKeysComeWithTheirDefaultsAndWhetherTheyAreSaved) {
    const std::vector<SettingFact> facts = settingFacts();
    EXPECT_EQ(facts.size(), 16u);
    const SettingFact expected[] = {
        {"ComPort", "1", true},          {"Sequence", "TAB,DOWN", true},   {"AutoMinimize", "0", false},
        {"DisplayUSBPorts", "0", false}, {"DisplayPortChanged", "0", false}, {"MaxCom", "30", false},
        {"KeyDelay", "0", false},        {"Journal", "0", false},
        {"Device", "6121", true},        {"Separator", "Enter", true},     {"Format", "2,7 um/mil/Tesla", true},
    };
    for (const SettingFact& want : expected) {
        const auto found = std::find_if(facts.begin(), facts.end(), [&](const SettingFact& f) { return f.key == want.key; });
        ASSERT_NE(found, facts.end()) << want.key;
        EXPECT_EQ(found->defaultValue, want.defaultValue) << want.key;
        EXPECT_EQ(found->savedAtExit, want.savedAtExit) << want.key;
    }
}

TEST(ProgramFacts, GaugesAreNamedAsTheWindowShowsThem) {
    struct Case {
        int number;
        const char* name;
        int group;
        bool reportsOwnName;
    };
    const Case cases[] = {{6121, "Pocket-VARNITRON 6121", 1, false}, {8525, "QMV 8525", 2, false},
                          {7480, "748x", 0, false},                 {6135, "6135", 0, true},
                          {6141, "VARNITRON 6141", 2, false}};
    const std::vector<GaugeFact> facts = gaugeFacts();
    for (const Case& c : cases) {
        const auto found = std::find_if(facts.begin(), facts.end(), [&](const GaugeFact& f) { return f.number == c.number; });
        ASSERT_NE(found, facts.end()) << c.number;
        EXPECT_EQ(found->name, c.name);
        EXPECT_EQ(found->modelGroup, c.group) << c.number;
        EXPECT_EQ(found->reportsOwnName, c.reportsOwnName) << c.number;
    }
}

TEST(ProgramFacts, MenuTextsAreShownWithoutTheirMarksAndWithTheShortcutApart) {
    struct Case {
        const char* text;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"E&xit&\tAlt+F4", {"Exit", "Alt+F4"}},
        {"&Daten \xFC" "bertragen", {"Daten \xC3\xBC" "bertragen"}},
        {"R&&D", {"R&D"}},
        {"2,7 \xB5m/mil/Tesla", {"2,7 \xC2\xB5m/mil/Tesla"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(shownTexts(c.text), c.shown) << c.text;
}

TEST(ProgramFacts, TextsAreSortedByTheLanguageThatShowsThem) {
    const ProgramTexts texts = programTexts({"COM Port"});
    for (const char* german : {"Hilfe", "Daten \xC3\xBC" "bertragen", "-nichts-", "Tastatur Layout", "Alt+F4"})
        EXPECT_EQ(texts.german.count(german), 1u) << german;
    for (const char* english : {"Leave Program", "Find Device", "The settings could not be saved:", "Alt+F4"})
        EXPECT_EQ(texts.english.count(english), 1u) << english;
    for (const char* neutral : {"2,7 \xC2\xB5m/mil/Tesla", "Enter", "Deutsch", "?", "COM Port", "Valbrix Info"})
        EXPECT_EQ(texts.neutral.count(neutral), 1u) << neutral;
    EXPECT_EQ(texts.german.count("Help"), 0u);
    EXPECT_EQ(texts.english.count("Hilfe"), 0u);
}

TEST(ProgramFacts, ReportsAreWhatTheStatusLineAndTheTrayTipSay) {
    const ProgramTexts texts = programTexts({});
    struct Case {
        const std::set<std::string>& reports;
        const char* report;
    };
    const Case cases[] = {
        {texts.englishReports, "%1 disconnected. Waiting for the port."},
        {texts.englishReports, "%1 values dropped: typing could not keep up."},
        {texts.englishReports, "Port disconnected."},
        {texts.englishReports, "Program active"},
        {texts.englishReports, "Program active."},
        {texts.englishReports, "Key"},
        {texts.germanReports, "%1 wieder verbunden."},
        {texts.germanReports, "Schnittstelle getrennt."},
        {texts.germanReports, "Keine Tastatureingabe m\xC3\xB6glich: Werte werden nur angezeigt."},
        {texts.englishReports, "Typing refused: values are only shown."},
        {texts.germanReports, "Schnittstellen werden gesucht \xE2\x80\xA6"},
        {texts.germanReports, "Schlie\xC3\x9F" "en Sie bitte ein Ger\xC3\xA4t an."},
    };
    for (const Case& c : cases) EXPECT_EQ(c.reports.count(c.report), 1u) << c.report;
    EXPECT_EQ(texts.englishReports.size(), 24u);
    // The texts of a box and the status line's own tooltip are not reports.
    for (const char* other : {"The settings could not be saved:", "This Field shows the program status."})
        EXPECT_EQ(texts.englishReports.count(other), 0u) << other;
}

TEST(ProgramFacts, PortRangesFollowTheTableWhateverTheUsersLinks) {
    testing::TempFolder home;
    std::filesystem::create_directories(home.root / "Oden_Malvert/Valbrix/ports");
    std::filesystem::create_symlink("/dev/null", home.root / "Oden_Malvert/Valbrix/ports/COM5");
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = before != nullptr ? before : "";
    setenv("XDG_CONFIG_HOME", home.root.c_str(), 1);

    const std::vector<PortRange> ranges = portRanges();
    EXPECT_EQ(std::string(std::getenv("XDG_CONFIG_HOME")), home.root.string());
    if (before != nullptr) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");

    ASSERT_EQ(ranges.size(), 4u);
    const PortRange expected[] = {{1, 4, "/dev/ttyS0", "/dev/ttyS3"},
                                  {5, 20, "/dev/ttyUSB0", "/dev/ttyUSB15"},
                                  {21, 31, "/dev/ttyACM0", "/dev/ttyACM10"},
                                  {32, 99, "/dev/ttyS4", "/dev/ttyS71"}};
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        EXPECT_EQ(ranges[i].firstPort, expected[i].firstPort);
        EXPECT_EQ(ranges[i].lastPort, expected[i].lastPort);
        EXPECT_EQ(ranges[i].firstDevice, expected[i].firstDevice);
        EXPECT_EQ(ranges[i].lastDevice, expected[i].lastDevice);
    }
}

TEST(ProgramFacts, UnitExamplesAreTypedAsTheProgramTypesThem) {
    const std::vector<UnitFact> units = unitFacts(',');
    ASSERT_FALSE(units.empty());
    EXPECT_EQ(units[0].withMicro, "\xC2\xB5m");
    EXPECT_EQ(units[0].withPlainU, "um");
    EXPECT_EQ(units[0].examples,
              (std::vector<std::pair<std::string, std::string>>{{"12.34", "12,3"}, {"123.4", "123"}}));
    const auto micros = std::find_if(units.begin(), units.end(), [](const UnitFact& u) { return u.withPlainU == "us"; });
    ASSERT_NE(micros, units.end());
    // Printed with the gauge's own two decimals.
    EXPECT_EQ(micros->examples[0].second, "12,34");
    EXPECT_EQ(unitFacts('.')[0].examples[0].second, "12.3");
}

}  // namespace
}  // namespace valbrix::manual
