#pragma once
// Records what the export loop asks of the application: control texts, repaints, tray calls.

#include <map>
#include <string>
#include <vector>

#include "export/export_shell.h"

namespace valbrix::testing {

class FakeExportShell final : public ExportShell {
public:
    void setControlText(int control, const std::string& text) override {
        controls[control] = text;
        controlWrites.push_back(std::to_string(control) + "=" + text);
    }
    void repaint() override { ++repaints; }
    void hideToTray() override { ++hides; }
    void updateTrayIcon() override { ++trayIconUpdates; }
    void setTrayTips(const TextPair& tips) override { trayTips = tips; }
    void setTrayTip(const std::string& tip) override { tipsShown.push_back(tip); }

    std::map<int, std::string> controls;
    std::vector<std::string> controlWrites;
    int repaints = 0;
    int hides = 0;
    int trayIconUpdates = 0;
    TextPair trayTips{"Programm gestartet", "Program started"};
    std::vector<std::string> tipsShown;
};

}  // namespace valbrix::testing
