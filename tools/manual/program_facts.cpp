#include "program_facts.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "app/about_box.h"
#include "app/menus.h"
#include "common/localized_text.h"
#include "common/numbers.h"
#include "gauge/catalogue.h"
#include "gauge/gauge_models.h"
#include "gauge/units.h"
#include "qt/cp1252.h"
#include "serial/com.h"
#include "serial/port_paths.h"
#include "settings/settings.h"

namespace valbrix::manual {
namespace {

std::string utf8(const std::string& cp1252Text) { return fromCp1252(cp1252Text).toStdString(); }

std::vector<std::string> items(const std::string& list) {
    std::vector<std::string> found;
    std::size_t start = 0;
    for (std::size_t end; (end = list.find('|', start)) != std::string::npos; start = end + 1)
        found.push_back(list.substr(start, end - start));
    found.push_back(list.substr(start));
    return found;
}

// Every key the settings are read from, with its default, and whether saving writes it back.
class RecordingStore final : public SettingsStore {
public:
    std::string get(const std::string&, const std::string&, const std::string& key, const std::string& defaultValue,
                    std::size_t) override {
        read.push_back(SettingFact{key, defaultValue, false});
        return defaultValue;
    }
    WriteOutcome putAll(const std::string&, const std::string&, const KeyValues& values) override {
        for (const auto& written : values)
            for (SettingFact& fact : read)
                if (fact.key == written.first) fact.savedAtExit = true;
        return WriteOutcome::Written;
    }
    std::vector<SettingFact> read;
};

struct UnitSamples {
    int unit;
    std::vector<const char*> printed;
};

// Values as a pocket gauge prints them, picked to show where each unit's number of decimals changes.
const UnitSamples unitSamples[] = {
    {UnitMicrometre, {"12.34", "123.4"}},   {UnitMillimetre, {"0.5", "1.5"}},
    {UnitMil, {"9.99", "10", "150.4"}},     {UnitInch, {"0.1234", "1.5"}},
    {UnitPercent, {"12.5"}},                {UnitMillitesla, {"1.234", "2", "25.5"}},
    {UnitAmperePerCm, {"9.94", "15.26", "150"}}, {UnitKiloAmperePerM, {"1.234", "25.5"}},
    {UnitGauss, {"9.94", "150"}},           {UnitInchPerMicrosecond, {"0.2323"}},
    {UnitMetrePerSecond, {"5920"}},         {UnitMicrosecond, {"12.34"}},
    {UnitNanosecond, {"250"}},
};

// The number text typed for a value printed as `printed`, the gauge's own digit counts included.
std::string typedFor(const char* printed, int unit, char decimalSeparator) {
    const std::string token = printed;
    std::size_t separator = token.find(',');
    if (separator == std::string::npos) separator = token.find('.');
    const int integerDigits = static_cast<int>(separator == std::string::npos ? token.size() : separator);
    const int decimals = separator == std::string::npos ? 0 : static_cast<int>(token.size() - separator - 1);
    return formatValue(readDecimal(printed), unit, integerDigits, decimals, modelGroup1Device, decimalSeparator);
}

// "/dev/ttyUSB12" -> "/dev/ttyUSB" and 12.
std::pair<std::string, int> deviceAndIndex(const std::string& path) {
    std::size_t digits = path.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(path[digits - 1]))) --digits;
    if (digits == path.size()) return {path, -1};
    return {path.substr(0, digits), std::atoi(path.c_str() + digits)};
}

void addMenuTexts(const Menu& menu, std::set<std::string>& texts) {
    for (const MenuItem& item : menu) {
        for (const std::string& shown : shownTexts(item.text)) texts.insert(shown);
        addMenuTexts(item.submenu, texts);
    }
}

}  // namespace

std::vector<GaugeFact> gaugeFacts() {
    std::vector<GaugeFact> facts;
    for (const GaugeModel& model : gaugeModels()) {
        const std::string number = std::to_string(model.number);
        const std::string modelText = model.number == magneticFallbackModel ? magneticFallbackText : number;
        const int group = model.group == ModelGroup::One ? 1 : model.group == ModelGroup::Two ? 2 : 0;
        facts.push_back(GaugeFact{model.number, utf8(deviceLine(modelText.c_str())), group, model.extendedIdentification});
    }
    return facts;
}

std::vector<SettingFact> settingFacts() {
    RecordingStore store;
    Settings settings;
    const SettingsLocations nowhere{"/nonexistent/", "/nonexistent/user/"};
    loadSettings(settings, nowhere, store);
    for (const ListKey key : {ListKey::ControlCharacter, ListKey::DecimalSeparator, ListKey::ValueFormat})
        readListKey(settings, store, key);
    saveSettings(settings, SavedChoices{"Enter", ",", "2,7 um/mil/Tesla", "TAB,DOWN"}, nowhere, store);
    for (SettingFact& fact : store.read) fact.defaultValue = utf8(fact.defaultValue);
    return store.read;
}

std::vector<UnitFact> unitFacts(char decimalSeparator) {
    const std::string unknown = unitText(UnitNone, UnitDisplay::Micro);
    for (int unit = 1; unit < 256; ++unit) {
        if (unitText(unit, UnitDisplay::Micro) == unknown) continue;
        bool covered = false;
        for (const UnitSamples& samples : unitSamples) covered = covered || samples.unit == unit;
        if (!covered) throw std::runtime_error("unit " + std::to_string(unit) + " has no example for the manual");
    }
    std::vector<UnitFact> facts;
    for (const UnitSamples& samples : unitSamples) {
        UnitFact fact{utf8(unitText(samples.unit, UnitDisplay::Micro)), utf8(unitText(samples.unit, UnitDisplay::PlainU)), {}};
        for (const char* printed : samples.printed)
            fact.examples.emplace_back(printed, typedFor(printed, samples.unit, decimalSeparator));
        facts.push_back(fact);
    }
    return facts;
}

std::vector<PortRange> portRanges() {
    // Links in the user's own ports folder would show instead of the table.
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("XDG_CONFIG_HOME", "/nonexistent", 1);
    std::vector<PortRange> ranges;
    for (int port = 1; port <= highestPortNumber; ++port) {
        const std::string device = devicePathForPort(port);
        const auto [folder, index] = deviceAndIndex(device);
        if (!ranges.empty()) {
            PortRange& last = ranges.back();
            const auto [lastFolder, lastIndex] = deviceAndIndex(last.lastDevice);
            if (folder == lastFolder && index == lastIndex + 1 && port == last.lastPort + 1) {
                last.lastPort = port;
                last.lastDevice = device;
                continue;
            }
        }
        ranges.push_back(PortRange{port, port, device, device});
    }
    if (saved != nullptr) setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    return ranges;
}

std::vector<std::string> shownTexts(const std::string& cp1252Text) {
    std::vector<std::string> shown(1);
    for (std::size_t i = 0; i < cp1252Text.size(); ++i) {
        const char c = cp1252Text[i];
        if (c == '\t') shown.emplace_back();
        else if (c != '&') shown.back() += c;
        else if (i + 1 < cp1252Text.size() && cp1252Text[i + 1] == '&') shown.back() += cp1252Text[++i];
    }
    // A text the program appends to another (" (no access)" after a port) is quoted without its space.
    std::vector<std::string> texts;
    for (const std::string& text : shown) {
        const std::size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        texts.push_back(utf8(text.substr(first, text.find_last_not_of(' ') + 1 - first)));
    }
    return texts;
}

ProgramTexts programTexts(const std::vector<std::string>& hostTexts) {
    // The status-line texts and tray tips are the reports below.
    static constexpr const LocalizedText* localized[] = {
        &text::statusTooltip,     &text::questionCaption,    &text::leaveQuestion,         &text::continueButton,
        &text::exitButton,        &text::device,             &text::controlGroup,          &text::portGroup,
        &text::newPort,           &text::portReleased,       &text::unitLabel,             &text::decimalSeparatorLabel,
        &text::controlCharacterLabel, &text::programMenu,    &text::exitMenu,              &text::settingsMenu,
        &text::helpItem,          &text::aboutItem,          &text::languageMenu,          &text::sequenceLabel,
        &text::measuredValueGroup, &text::keyboardLayoutMenu, &text::layoutGermanEnglish,  &text::layoutFrench,
        &text::settingsNotSaved,  &text::trayMenuTitle,      &text::portNoAccess,
    };
    ProgramTexts texts;
    for (const int language : {German, English}) {
        std::set<std::string>& into = language == German ? texts.german : texts.english;
        for (const LocalizedText* entry : localized)
            for (const std::string& shown : shownTexts(entry->in(language))) into.insert(shown);
        std::set<std::string>& reports = language == German ? texts.germanReports : texts.englishReports;
        for (const LocalizedText* report : text::statusLineTexts) reports.insert(utf8(report->in(language)));
        for (const LocalizedText* report : text::trayTipTexts) reports.insert(utf8(report->in(language)));
        for (const std::string& item : items(text::controlCharacterList.in(language))) into.insert(utf8(item));
        for (const int device : {modelGroup1Device, modelGroup2Device}) {
            addMenuTexts(menuBar(language, 1, device), into);
            addMenuTexts(trayMenu(language, true, device), into);
        }
    }
    for (const char* list : {text::decimalSeparatorList, text::valueFormatList})
        for (const std::string& item : items(list)) texts.neutral.insert(utf8(item));
    for (const char* neutral : {text::portNoticeCaption, aboutBox.caption, aboutBox.programLine, aboutBox.articleLine,
                                aboutBox.rightsLine1, aboutBox.rightsLine2, aboutBox.okButton})
        for (const std::string& shown : shownTexts(neutral)) texts.neutral.insert(shown);
    for (const std::string& text : hostTexts) texts.neutral.insert(text);
    // Menu texts that read the same in both languages ("&Deutsch", the device items, "?") are neutral.
    for (const std::string& german : texts.german)
        if (texts.english.count(german) != 0) texts.neutral.insert(german);
    return texts;
}

}  // namespace valbrix::manual
