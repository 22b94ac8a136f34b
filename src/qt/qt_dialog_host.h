#pragma once
// Dialog 301 as a Qt window: every control of the dialog under its number, the menu bar, the tray
// icon and the boxes. It only maps numbers to widgets and widget events to the shell's reports; what
// to show and what a command does is the shell's business.

#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

#include "app/dialog_host.h"
#include "qt/wheel_needs_focus.h"

class QComboBox;
class QDialog;
class QMenu;
class QMenuBar;

namespace valbrix {

class Shell;

class QtDialogHost final : public QWidget, public DialogHost {
    Q_OBJECT
public:
    QtDialogHost();
    ~QtDialogHost() override;

    // The shell to report to; before this, widget events go nowhere.
    void attach(Shell& shell);
    // From now on, every text the dialog shows, the tray icon and its tip, the window coming and going
    // and every box are also written to out, one line each, with the milliseconds since this call.
    void traceTo(std::FILE* out);

    void setControlText(int control, const std::string& text) override;
    std::string controlText(int control) override;
    void enableControl(int control, bool enabled) override;
    void setListItems(int control, const std::vector<std::string>& items, int selected) override;
    int selectedIndex(int control) override;
    std::string selectedText(int control) override;
    void setControlFont(int control, int height, int weight) override;
    void setStatusTooltip(const std::string& text) override;
    void setMenuBar(const Menu& menu) override;
    void repaint() override;
    void showWindow() override;
    void hideWindow() override;
    void addTrayIcon(int icon, const std::string& tip) override;
    void modifyTrayIcon(int icon, const std::string& tip) override;
    void removeTrayIcon() override;
    bool trayAvailable() override;
    void showTrayMenu(const Menu& menu) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showNotice(const std::string& caption, const std::string& text) override;
    void showAbout(const AboutBox& box) override;
    void openHelpFile(const std::string& fileName) override;
    void showSystemError(const std::string& caption, const std::string& text) override;
    void closeBoxes() override;
    void endDialog() override;
    void traceLine(const std::string& line) override;
    void post(std::function<void()> work) override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Without a tray, the tray menu is the window's context menu.
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The labels in front of the four choice lists, which share one width.
    static constexpr int labelColumn[] = {ControlCharacterLabel, SequenceLabel, UnitLabel, DecimalSeparatorLabel};

    template <class W>
    W* add(int control, W* widget);
    QComboBox* list(int control);
    void buildControls();
    void report(int command, int notification = 0);
    template <class Target>
    void fillMenu(Target& target, const Menu& menu);
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void alignLabelColumns();
    void fitWindow();
    void trace(const QString& line);
    // Every box runs through here, so that closeBoxes() finds it.
    int runBox(QDialog& box);

    Shell* shell = nullptr;
    std::unordered_map<int, QWidget*> controls;
    QMenuBar* menuBarWidget = nullptr;
    QSystemTrayIcon tray;
    // Without a notification area the minimised window stands in for the tray icon.
    bool trayShown = false;
    std::unique_ptr<QMenu> trayPopup;
    std::vector<QDialog*> openBoxes;  // innermost last
    std::FILE* traceOut = nullptr;
    QElapsedTimer traceClock;
    WheelNeedsFocus wheelGuard;
};

}  // namespace valbrix
