#include "app/shell.h"

#include <cstdint>
#include <vector>

#include "app/list_operations.h"
#include "app/port_list.h"
#include "common/localized_text.h"
#include "export/key_text.h"
#include "gauge/catalogue.h"
#include "serial/com.h"

namespace valbrix {
namespace {

struct ChoiceList {
    int control;
    ListKey key;
};
constexpr ChoiceList choiceLists[] = {
    {ControlKeyList, ListKey::ControlCharacter},
    {DecimalSeparatorList, ListKey::DecimalSeparator},
    {UnitDisplayList, ListKey::ValueFormat},
};

std::string choiceItems(int control, int language) {
    switch (control) {
        case ControlKeyList: return text::controlCharacterList.in(language);
        case DecimalSeparatorList: return text::decimalSeparatorList;
        default: return text::valueFormatList;
    }
}


// Commands after which the export thread could read something else.
bool changesExportChoices(int id) {
    switch (id) {
        case ControlKeyList:
        case DecimalSeparatorList:
        case UnitDisplayList:
        case SequenceField:
        case CommandModelGroup1:
        case CommandModelGroup2:
        case CommandGerman:
        case CommandEnglish:
        case CommandLayoutGermanEnglish:
        case CommandLayoutFrench:
        case CommandTransferActive:
            return true;
        default:
            return false;
    }
}

}  // namespace

Shell::Shell(ShellEnvironment environment)
    : host(environment.host),
      store(environment.store),
      locations(std::move(environment.locations)),
      ports(environment.ports),
      clock(environment.clock),
      keys(environment.keys),
      typing(environment.typing),
      startThreads(environment.startThreads),
      journalFiles(environment.journalFiles),
      wallClock(environment.wallClock) {}

// The loop and the gauge end in this order by themselves; the shutdown has normally done it already.
Shell::~Shell() = default;

void Shell::initMainDialog() {
    setTrayTips(text::trayStarted);
    // Still the built-in language: the settings are not read yet.
    showStatus(text::initialising.in(settings.language));
    loadSettings(settings, locations, store);
    keys.setKeyDelay(settings.keyDelayMs);
    openJournal();
    host.setControlText(SequenceField, settings.sequence);
    host.setStatusTooltip(text::statusTooltip.in(settings.language));
    startUpPortScan();
    applyLanguage(settings.language);
    host.setControlText(ValueTextControl, "");
    host.setControlText(UnitTextControl, "");
    host.setControlFont(DeviceLineControl, 18, 600);
    host.setControlFont(ValueTextControl, 24, 700);
    host.setControlFont(UnitTextControl, 24, 700);

    std::vector<ErrorBoxText> setUpErrors;
    {
        HeldErrorBoxes held;
        gauge = std::make_unique<cVarniTiny>(
            static_cast<std::int16_t>(settings.comPort), [this](cVarniTiny& g) { onIdentified(g, *this); }, 1,
            GaugeEnvironment{&ports, &clock, startThreads});
        setUpErrors = held.take();
    }
    showSystemErrors(setUpErrors);
    journalDroppedValues();
    gauge->RaiseDtrAndRts();
    gauge->SetDeviceModel(settings.device);
    notePortAccess(settings.comPort);

    publishChoices();
    loop = std::make_unique<ExportLoop>(*gauge, *this, keys, typing, flags, choices, settings.autoMinimize, clock,
                                        journal ? static_cast<ValueJournal&>(*journal) : noJournal());
    if (startThreads) loop->start();
    showStatus((scanRunning ? text::searchingPorts : text::active).in(settings.language));
    if (endRequested) endSoon();
}

void Shell::command(int id, int notification) {
    if (!running()) return;
    switch (id) {
        case CommandCancel:
        case ExitButton:
        case CommandExitMenu:
        case CommandLeaveProgram:
        case CommandTrayExit:
            requestExit();
            return;
        case ContinueButton:
        case CommandContinueMenu:
            hideToTrayNow();
            break;
        case ControlKeyList:
            enableSequenceField();
            break;
        case PortListControl:
            portListCommand(notification);
            break;
        case UnitDisplayList:
            host.setControlText(ValueTextControl, "");
            host.setControlText(UnitTextControl, "");
            break;
        case CommandModelGroup1:
        case CommandModelGroup2:
            selectModelGroup(id == CommandModelGroup1 ? modelGroup1Device : modelGroup2Device);
            gauge->SetModelText("?");
            askForIdentification();
            break;
        case CommandFindDevice:
            // The tray greys the item for the gauges that only print: they are never asked.
            if (modelGroupOf(settings.device) == 1) requestIdentification();
            break;
        case CommandTrayHelp:
        case CommandHelp:
            openHelp();
            break;
        case CommandTraySettings:
            showFromTray();
            break;
        case CommandGerman:
        case CommandEnglish:
            settings.language = id == CommandGerman ? German : English;
            applyLanguage(settings.language);
            showStatus("");
            break;
        case CommandLayoutGermanEnglish:
        case CommandLayoutFrench:
            settings.keyboardLayout = id == CommandLayoutGermanEnglish ? 1 : 3;
            showMenuBar();
            break;
        case CommandAbout:
            inBox([this] { host.showAbout(aboutBox); });
            break;
        case CommandTransferActive:
            settings.transferActive = !settings.transferActive;
            flags.transferActive.store(settings.transferActive);
            updateTrayIconNow();
            showMenuBar();
            break;
        default:
            break;
    }
    if (changesExportChoices(id)) publishChoices();
}

void Shell::activated(bool deactivated, bool minimized) {
    if (!running() || windowComing || portNoticeOpen) return;
    // The About box takes the activation without sending the dialog away.
    if ((deactivated || minimized) && !inTray && !aboutOpen) hideToTrayNow();
    aboutOpen = false;
}

void Shell::aboutOpened() { aboutOpen = true; }

void Shell::trayClicked(TrayButton button) {
    if (!running()) return;
    if (button == TrayButton::Left) showFromTray();
    else inBox([this] { host.showTrayMenu(trayMenu(settings.language, settings.transferActive, settings.device)); });
}

void Shell::anotherStart() {
    if (running() && !shuttingDown) showFromTray();
}

void Shell::helpRequested() {
    if (running()) openHelp();
}

void Shell::keyTyped() {
    if (running()) showStatus(text::key.in(settings.language));
}

void Shell::showDeviceLine(const std::string& name) {
    postWhileRunning([this, name] { host.setControlText(DeviceLineControl, name); });
}

void Shell::showValueText(const std::string& text) {
    postWhileRunning([this, text] { host.setControlText(ValueTextControl, text); });
}

void Shell::showUnitText(const std::string& text) {
    postWhileRunning([this, text] { host.setControlText(UnitTextControl, text); });
}

void Shell::repaint() {
    postWhileRunning([this] { host.repaint(); });
}

void Shell::hideToTray() {
    postWhileRunning([this] { hideToTrayNow(); });
}

void Shell::updateTrayIcon() {
    postWhileRunning([this] { updateTrayIconNow(); });
}

void Shell::setTrayTips(const LocalizedText& tips) {
    const std::lock_guard<std::mutex> lock(trayTipsLock);
    trayTips = tips;
}

// Without the icon there is nothing to give the tip to.
void Shell::setTrayTip(const std::string& tip) {
    postWhileRunning([this, tip] {
        if (inTray) host.modifyTrayIcon(trayIcon, tip);
    });
}

void Shell::keysNotTyped(const UntypedKeys& keys) {
    postWhileRunning([this, keys] {
        for (const std::uint8_t key : keys) host.traceLine("key not typed on this keyboard layout: " + keyName(key));
        if (toldKeyNotTyped) return;
        toldKeyNotTyped = true;
        showStatus(text::keyNotTyped.in(settings.language));
    });
}

// Work that reaches the user-interface thread after the shutdown finds no gauge and nothing to show.
void Shell::postWhileRunning(std::function<void()> work) {
    host.post([this, work = std::move(work)] {
        if (running()) work();
    });
}

void Shell::showStatus(const std::string& text) { host.setControlText(StatusLine, text); }

void Shell::requestExit() {
    if (settings.askForClose &&
        !ask(text::questionCaption.in(settings.language), text::leaveQuestion.in(settings.language)))
        return;
    shutdown(EndAskedBy::User);
}

// The export thread only ever posts to this thread, so joining it here cannot deadlock.
void Shell::shutdown(EndAskedBy askedBy) {
    shuttingDown = true;
    portScan.cancel();
    showFromTray();
    loop.reset();
    showWindowNow();  // when it waited for the last value, which is out now
    journalValuesLeft();
    const bool saved =
        saveSettings(settings,
                     SavedChoices{host.selectedText(ControlKeyList), host.selectedText(DecimalSeparatorList),
                                  host.selectedText(UnitDisplayList), host.controlText(SequenceField)},
                     locations, store);
    if (!saved) {
        const std::string message = std::string(text::settingsNotSaved.in(settings.language)) + "\n" + settings.settingsPath;
        if (askedBy == EndAskedBy::User) notice(text::portNoticeCaption, message);
        else host.traceLine(message);
    }
    // The settings are saved: should a probe still be under way, waiting for it loses nothing.
    portScan.stop();
    scanRunning = false;
    gauge.reset();
    journal.reset();
    host.removeTrayIcon();
    host.endDialog();
}

void Shell::updateTrayIconNow() {
    if (!inTray) return;
    const TrayIconChoice choice = chooseTrayIconNow();
    host.modifyTrayIcon(choice.icon, choice.tip.in(settings.language));
}

// Picks the picture, and in the states that say so the tip pair a freshly added icon shows. Without the
// port's device nothing can be typed, whatever the gauge: the picture of no gauge, with the tip that
// says why.
TrayIconChoice Shell::chooseTrayIconNow() {
    const TrayIconChoice choice = portGone ? TrayIconChoice{IconNoGauge, text::portLostTip, false}
                                           : chooseTrayIcon(settings.transferActive, settings.device,
                                                            gauge->IsIdentified());
    trayIcon = choice.icon;
    if (choice.becomesTrayTips) setTrayTips(choice.tip);
    return choice;
}

LocalizedText Shell::currentTrayTips() const {
    const std::lock_guard<std::mutex> lock(trayTipsLock);
    return trayTips;
}

void Shell::openHelp() {
    inBox([this] { host.openHelpFile(settings.language == German ? "VALBRIXHELP_DE.chm" : "VALBRIXHELP_EN.chm"); });
}

void Shell::applyLanguage(int language) {
    for (const ChoiceList& list : choiceLists) {
        // The first fill selects what the settings file names; later fills keep the position, so a
        // language switch keeps the choice while its text changes.
        const std::string items = choiceItems(list.control, language);
        if (settings.listsLoaded)
            fillList(host, list.control, items, '|', "", host.selectedIndex(list.control));
        else
            fillList(host, list.control, items, '|', readListKey(settings, store, list.key), -1);
    }
    host.setControlText(ContinueButton, text::continueButton.in(language));
    host.setControlText(ExitButton, text::exitButton.in(language));
    host.setControlText(DeviceGroup, text::device.in(language));
    host.setControlText(ControlGroup, text::controlGroup.in(language));
    host.setControlText(PortGroup, text::portGroup.in(language));
    host.setControlText(UnitLabel, text::unitLabel.in(language));
    host.setControlText(DecimalSeparatorLabel, text::decimalSeparatorLabel.in(language));
    host.setControlText(ControlCharacterLabel, text::controlCharacterLabel.in(language));
    host.setControlText(SequenceLabel, text::sequenceLabel.in(language));
    host.setControlText(MeasuredValueGroup, text::measuredValueGroup.in(language));
    showMenuBar();
    enableSequenceField();
    settings.listsLoaded = true;
}

void Shell::selectModelGroup(int model) {
    settings.device = model;
    gauge->SetDeviceModel(model);
    applyLanguage(settings.language);
}

void Shell::askForIdentification() {
    host.setControlText(DeviceLineControl, "?");
    requestIdentification();
}

// The command queue refuses only when dozens of commands wait for a gauge that does not answer.
void Shell::requestIdentification() {
    if (!gauge->RequestIdentification()) showStatus(text::requestNotSent.in(settings.language));
}

void Shell::enableSequenceField() {
    host.enableControl(SequenceField, isSequenceItem(host.selectedText(ControlKeyList)));
}

void Shell::publishChoices() {
    flags.transferActive.store(settings.transferActive);
    flags.inTray.store(inTray);
    flags.language.store(settings.language);
    flags.device.store(settings.device);
    flags.keyboardLayout.store(settings.keyboardLayout);
    choices.set(ExportChoices{host.selectedText(ControlKeyList), host.selectedIndex(ControlKeyList),
                              host.selectedText(DecimalSeparatorList), host.selectedText(UnitDisplayList),
                              host.controlText(SequenceField)});
    wakeExportLoop();
}

}  // namespace valbrix
