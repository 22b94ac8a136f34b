#pragma once
// A dialog host without a window: it keeps what the shell shows (texts, lists, menus, the tray icon,
// boxes) so that tests read it back, answers questions from a script, and queues posted work until
// the test, standing in for the user-interface thread, runs it.

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_host.h"

namespace valbrix::testing {

// The dialog's controls by name, so that a recorded event reads "text DeviceLine=?".
inline std::string controlName(int control) {
    static const std::map<int, const char*> names = {
        {ExitButton, "ExitButton"},
        {StatusLine, "StatusLine"},
        {ControlCharacterLabel, "ControlCharacterLabel"},
        {DecimalSeparatorLabel, "DecimalSeparatorLabel"},
        {UnitLabel, "UnitLabel"},
        {ComPortLabel, "ComPortLabel"},
        {FormatGroup, "FormatGroup"},
        {PortGroup, "PortGroup"},
        {ContinueButton, "ContinueButton"},
        {DeviceGroup, "DeviceGroup"},
        {DeviceLineControl, "DeviceLine"},
        {ValueTextControl, "ValueText"},
        {UnitTextControl, "UnitText"},
        {SequenceLabel, "SequenceLabel"},
        {ControlGroup, "ControlGroup"},
        {ControlKeyList, "ControlKeyList"},
        {PortListControl, "PortList"},
        {DecimalSeparatorList, "DecimalSeparatorList"},
        {UnitDisplayList, "UnitDisplayList"},
        {SequenceField, "SequenceField"},
        {MeasuredValueGroup, "MeasuredValueGroup"},
    };
    const auto found = names.find(control);
    return found != names.end() ? found->second : std::to_string(control);
}

class FakeDialogHost final : public DialogHost {
public:
    struct List {
        std::vector<std::string> items;
        int selected = -1;
    };
    struct Font {
        int height = 0;
        int weight = 0;
    };
    struct Notice {
        std::string caption;
        std::string text;
    };

    void setControlText(int control, const std::string& text) override {
        texts[control] = text;
        record("text " + controlName(control) + "=" + text);
    }
    std::string controlText(int control) override { return texts[control]; }
    void enableControl(int control, bool enabled) override { this->enabled[control] = enabled; }
    void setListItems(int control, const std::vector<std::string>& items, int selected) override {
        lists[control] = List{items, selected};
        record("list " + controlName(control));
    }
    int selectedIndex(int control) override { return lists[control].selected; }
    std::string selectedText(int control) override {
        const List& list = lists[control];
        const bool selected = list.selected >= 0 && list.selected < static_cast<int>(list.items.size());
        return selected ? list.items[list.selected] : "";
    }
    void setControlFont(int control, int height, int weight) override { fonts[control] = Font{height, weight}; }
    void setStatusTooltip(const std::string& text) override { statusTooltip = text; }
    void setMenuBar(const Menu& menu) override { menuBar = menu; }
    void repaint() override {
        ++repaints;
        record("repaint");
    }

    void showWindow() override {
        visible = true;
        record("show");
    }
    void hideWindow() override {
        visible = false;
        record("hide");
    }

    // Like the system's notification area, a tray icon that is not there cannot be modified.
    void addTrayIcon(int icon, const std::string& tip) override {
        trayIconShown = true;
        trayIcon = icon;
        trayTip = tip;
        record("tray add " + std::to_string(icon) + " " + tip);
    }
    void modifyTrayIcon(int icon, const std::string& tip) override {
        record("tray modify " + std::to_string(icon) + " " + tip);
        if (!trayIconShown) return;
        trayIcon = icon;
        trayTip = tip;
    }
    void removeTrayIcon() override {
        trayIconShown = false;
        record("tray remove");
    }
    bool trayAvailable() override { return tray; }
    void showTrayMenu(const Menu& menu) override { trayMenus.push_back(menu); }

    bool askYesNo(const std::string& caption, const std::string& text) override {
        questions.push_back(Notice{caption, text});
        record("ask " + text);
        bool answer = answers.empty() || answers.front();
        if (!answers.empty()) answers.pop_front();
        if (whileBoxOpen()) answer = false;
        return answer;
    }
    void showNotice(const std::string& caption, const std::string& text) override {
        notices.push_back(Notice{caption, text});
        record("notice " + text);
        whileBoxOpen();
    }
    void showSystemError(const std::string& caption, const std::string& text) override {
        systemErrors.push_back(Notice{caption, text});
        record("error " + caption);
        whileBoxOpen();
    }
    void showAbout(const AboutBox& box) override {
        ++aboutBoxes;
        aboutCaption = box.caption;
        whileBoxOpen();
    }
    void closeBoxes() override {
        ++boxesClosed;
        record("close boxes");
    }
    void openHelpFile(const std::string& fileName) override { helpFiles.push_back(fileName); }
    void endDialog() override {
        ended = true;
        record("end");
    }
    void traceLine(const std::string& line) override { traced.push_back(line); }

    void post(std::function<void()> work) override {
        const std::lock_guard<std::mutex> lock(postedLock);
        posted.push_back(std::move(work));
        postedChanged.notify_all();
    }

    // Returns once work posted by another thread waits to be run.
    void waitForPosted() {
        std::unique_lock<std::mutex> lock(postedLock);
        postedChanged.wait(lock, [this] { return !posted.empty(); });
    }

    // Runs the posted work, including what that work posts in turn; returns how many ran.
    int runPosted() {
        int count = 0;
        for (;;) {
            std::function<void()> work;
            {
                const std::lock_guard<std::mutex> lock(postedLock);
                if (posted.empty()) return count;
                work = std::move(posted.front());
                posted.pop_front();
            }
            work();
            ++count;
        }
    }

    // One turn of the loop: the work queued now, without what it posts in turn.
    void runQueued() {
        std::deque<std::function<void()>> queued;
        {
            const std::lock_guard<std::mutex> lock(postedLock);
            queued.swap(posted);
        }
        for (std::function<void()>& work : queued) work();
    }

    // The user picks an item.
    void select(int control, int index) { lists[control].selected = index; }

    // What happens while the next box is open, as the window system's loop would run it. True when
    // the box was closed from within (closeBoxes), as if the user had cancelled it.
    bool whileBoxOpen() {
        const int closedBefore = boxesClosed;
        if (auto work = std::exchange(inNextBox, nullptr)) work();
        return boxesClosed != closedBefore;
    }

    std::string text(int control) const {
        const auto found = texts.find(control);
        return found == texts.end() ? "" : found->second;
    }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled;
    std::map<int, List> lists;
    std::map<int, Font> fonts;
    std::string statusTooltip;
    Menu menuBar;
    int repaints = 0;
    bool visible = true;
    bool tray = true;  // false: a desktop without a notification area
    bool trayIconShown = false;
    int trayIcon = 0;
    std::string trayTip;
    std::vector<Menu> trayMenus;
    std::deque<bool> answers;  // for askYesNo, in order; Yes when the script has run out
    std::vector<Notice> questions;
    std::vector<Notice> notices;
    std::vector<Notice> systemErrors;
    std::function<void()> inNextBox;  // runs while the next box is open
    int boxesClosed = 0;
    int aboutBoxes = 0;
    std::string aboutCaption;
    std::vector<std::string> helpFiles;
    bool ended = false;
    std::vector<std::string> traced;
    // Everything shown, in order, for the tests that care about order.
    std::vector<std::string> events;

private:
    void record(std::string event) { events.push_back(std::move(event)); }

    std::mutex postedLock;
    std::condition_variable postedChanged;
    std::deque<std::function<void()>> posted;
};

}  // namespace valbrix::testing
