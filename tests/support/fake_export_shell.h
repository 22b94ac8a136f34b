#pragma once
// Records what the export loop asks of the application: what is shown, repaints, tray calls.

#include <cstdint>
#include <string>
#include <vector>

#include "export/export_shell.h"

namespace valbrix::testing {

class FakeExportShell final : public ExportShell {
public:
    void showDeviceLine(const std::string& name) override { show(deviceLine, "DeviceLine", name); }
    void showValueText(const std::string& text) override { show(valueText, "ValueText", text); }
    void showUnitText(const std::string& text) override { show(unitText, "UnitText", text); }
    void repaint() override {
        ++repaints;
        shown.push_back("repaint");
    }
    void hideToTray() override { ++hides; }
    void updateTrayIcon() override {
        ++trayIconUpdates;
        shown.push_back("TrayIcon");
    }
    void setTrayTips(const LocalizedText& tips) override { trayTips = tips; }
    void setTrayTip(const std::string& tip) override { tipsShown.push_back(tip); }
    void keysNotTyped(const UntypedKeys& keys) override { untyped.insert(untyped.end(), keys.begin(), keys.end()); }
    void portLost(bool lost) override { portStates.push_back(lost); }
    void valuesDropped(std::uint32_t count) override { droppedCounts.push_back(count); }
    void typingHeld(TypingHold hold) override { holds.push_back(hold); }

    std::string deviceLine;
    std::string valueText;
    std::string unitText;
    // Everything shown, in order: "ValueText=4.56", "TrayIcon", "repaint".
    std::vector<std::string> shown;
    int repaints = 0;
    int hides = 0;
    int trayIconUpdates = 0;
    LocalizedText trayTips = text::trayStarted;
    std::vector<std::string> tipsShown;
    UntypedKeys untyped;
    std::vector<bool> portStates;  // every change, true for gone
    std::vector<std::uint32_t> droppedCounts;
    std::vector<TypingHold> holds;  // every change: why values wait, None when they are typed again

private:
    void show(std::string& field, const char* name, const std::string& text) {
        field = text;
        shown.push_back(std::string(name) + "=" + text);
    }
};

}  // namespace valbrix::testing
