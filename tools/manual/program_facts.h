#pragma once
// What the program itself says about the things the manual describes: the gauges it names, the keys
// of its settings file, the texts it shows, its units and its ports. Read from the program's own
// tables and functions each time the manual is built, so that the manual cannot drift from them.
// Every text here is UTF-8.

#include <set>
#include <string>
#include <vector>

namespace valbrix::manual {

struct GaugeFact {
    int number;
    std::string name;       // as the window shows it once the gauge is recognised
    int modelGroup;         // 1 or 2: the device-menu item; 0: recognised without an item of its own
    bool reportsOwnName;    // the window shows the name the gauge reports instead
};
std::vector<GaugeFact> gaugeFacts();

struct SettingFact {
    std::string key;
    std::string defaultValue;
    bool savedAtExit;  // written back when the program ends normally
};
// In the order the program reads them.
std::vector<SettingFact> settingFacts();

struct UnitFact {
    std::string withMicro;   // display text with the unit display "2,7 µm/mil/Tesla"
    std::string withPlainU;  // display text with "2,7 um/mil/Tesla"
    // What a gauge prints and the number text the program types for it.
    std::vector<std::pair<std::string, std::string>> examples;
};
std::vector<UnitFact> unitFacts(char decimalSeparator);

struct PortRange {
    int firstPort;
    int lastPort;
    std::string firstDevice;
    std::string lastDevice;
};
// COM numbers and the Linux devices they stand for when no link in the ports folder names another.
std::vector<PortRange> portRanges();

struct ProgramTexts {
    std::set<std::string> german;
    std::set<std::string> english;
    std::set<std::string> neutral;  // the same in both languages
    // What the status line and the tray tip report, as the program's table has them: %1 and %2 stand
    // for what the program fills in (a port, a count, a group).
    std::set<std::string> germanReports;
    std::set<std::string> englishReports;
};
// Every text of the window, its menus, lists, tray and boxes as it appears on screen: a menu's
// "&" marks only the underlined letter, and what follows a tab is the shortcut column, a text of
// its own. hostTexts are texts the dialog host puts on the window itself.
ProgramTexts programTexts(const std::vector<std::string>& hostTexts);
// A text as the screen shows it ("E&xit&\tAlt+F4" shows "Exit" and "Alt+F4").
std::vector<std::string> shownTexts(const std::string& cp1252Text);

}  // namespace valbrix::manual
