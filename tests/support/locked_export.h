#pragma once
// A key sink and an export shell for tests in which the export loop runs on its own thread: it
// delivers and shows, the test thread reads, both under one lock.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/localized_text.h"
#include "export/export_shell.h"
#include "export/key_event.h"
#include "export/key_text.h"

namespace valbrix::testing {

class LockedRecordingSink final : public KeySink {
public:
    UntypedKeys deliver(const KeyEvents& events) override {
        // A receiver that is slow to take the first keys holds the export thread up, as a busy
        // application does.
        if (holdFirst.count() > 0 && delivered++ == 0) std::this_thread::sleep_for(holdFirst);
        const std::lock_guard<std::mutex> lock(mutex);
        recorded.insert(recorded.end(), events.begin(), events.end());
        lists.push_back(describeKeys(events));
        return {};
    }
    std::string typed() {
        const std::lock_guard<std::mutex> lock(mutex);
        return describeKeys(recorded);
    }
    // What each delivery typed, one value's keys each.
    std::vector<std::string> deliveries() {
        const std::lock_guard<std::mutex> lock(mutex);
        return lists;
    }

    std::chrono::milliseconds holdFirst{0};  // set before the loop starts

private:
    int delivered = 0;  // export thread only
    std::mutex mutex;
    KeyEvents recorded;
    std::vector<std::string> lists;
};

class LockedShell final : public ExportShell {
public:
    void showDeviceLine(const std::string&) override {}
    void showValueText(const std::string& text) override { set(valueText, text); }
    void showUnitText(const std::string& text) override { set(unitText, text); }
    void repaint() override {}
    void hideToTray() override {}
    void updateTrayIcon() override {}
    void setTrayTips(const LocalizedText& pair) override {
        const std::lock_guard<std::mutex> lock(mutex);
        tips = pair;
    }
    void setTrayTip(const std::string&) override {}
    void keysNotTyped(const UntypedKeys&) override {}
    void portLost(bool lost) override {
        const std::lock_guard<std::mutex> lock(mutex);
        portStates.push_back(lost);
    }
    void valuesDropped(std::uint32_t count) override {
        const std::lock_guard<std::mutex> lock(mutex);
        dropped = count;
    }
    std::string shownValue() {
        const std::lock_guard<std::mutex> lock(mutex);
        return valueText;
    }
    std::string shownUnit() {
        const std::lock_guard<std::mutex> lock(mutex);
        return unitText;
    }
    LocalizedText trayTips() {
        const std::lock_guard<std::mutex> lock(mutex);
        return tips;
    }
    std::vector<bool> portChanges() {
        const std::lock_guard<std::mutex> lock(mutex);
        return portStates;
    }
    std::uint32_t droppedShown() {
        const std::lock_guard<std::mutex> lock(mutex);
        return dropped;
    }

private:
    void set(std::string& field, const std::string& text) {
        const std::lock_guard<std::mutex> lock(mutex);
        field = text;
    }

    std::mutex mutex;
    std::string valueText;
    std::string unitText;
    LocalizedText tips = text::trayStarted;
    std::vector<bool> portStates;
    std::uint32_t dropped = 0;
};

}  // namespace valbrix::testing
