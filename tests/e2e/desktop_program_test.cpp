// The desktop program as a user meets it: the real valbrix binary on a virtual X server with a tray,
// a simulated gauge on a pseudo-terminal mapped as COM5, and a window of the test's own that has the
// focus, as a spreadsheet would. The test clicks the tray icon, opens the menus and picks from the
// list with real pointer and key events, and reads the window's texts from the program's --trace.
//
// VALBRIX_EXECUTABLE names the program; pictures of its window go to VALBRIX_ARTEFACTS when set.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "config_home.h"
#include "gaugesim/simulator.h"
#include "journal_file.h"
#include "temp_folder.h"
#include "window_picture.h"
#include "x11_receiver.h"
#include "x11_user.h"

namespace valbrix {
namespace {

using testing::ChildProcess;
using testing::environment;
using testing::patienceMs;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A copy of the program installed in a folder of the test's own, with or without its manual in
// share/valbrix/manual beside bin/, where the program looks for it; and, first on the PATH, a
// browser that writes down every page it is asked to open, or else a PATH with no browser at all.
class InstalledCopy {
public:
    explicit InstalledCopy(bool withManual, bool withBrowser = true) {
        std::filesystem::create_directories(prefix.root / "bin");
        std::filesystem::copy_file(environment("VALBRIX_EXECUTABLE"), executable());
        for (const char* language : {"de", "en"}) {
            if (!withManual) break;
            std::filesystem::create_directories(manual() + "/" + language);
            std::ofstream(manual() + "/" + language + "/index.html") << "<h1>Valbrix</h1>\n";
        }
        const std::filesystem::path browser = prefix.root / "browser" / "xdg-open";
        std::filesystem::create_directories(browser.parent_path());
        std::ofstream(browser) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >>'" << (prefix.root / "opened").string() << "'\n";
        std::filesystem::permissions(browser, std::filesystem::perms::owner_all);
        savedPath = environment("PATH");
        const std::string folder = browser.parent_path().string();
        setenv("PATH", (withBrowser ? folder + ":" + savedPath : (prefix.root / "bin").string()).c_str(), 1);
    }
    ~InstalledCopy() { setenv("PATH", savedPath.c_str(), 1); }
    InstalledCopy(const InstalledCopy&) = delete;
    InstalledCopy& operator=(const InstalledCopy&) = delete;

    std::string executable() const { return (prefix.root / "bin" / "valbrix").string(); }
    std::string manual() const { return (prefix.root / "share" / "valbrix" / "manual").string(); }
    std::string page(const char* language) const { return "file://" + manual() + "/" + language + "/index.html"; }
    std::vector<std::string> pagesOpened() const {
        std::vector<std::string> pages;
        std::istringstream lines(fileText(prefix.root / "opened"));
        for (std::string line; std::getline(lines, line);) pages.push_back(line);
        return pages;
    }

private:
    testing::TempFolder prefix;
    std::string savedPath;
};

// An environment variable of the test process, and so of the programs it starts, for one scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name(name), saved(environment(name)) {
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (saved.empty()) unsetenv(name);
        else setenv(name, saved.c_str(), 1);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;
    std::string saved;
};

class DesktopProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(environment("VALBRIX_EXECUTABLE").empty()) << "VALBRIX_EXECUTABLE names the program";
        ASSERT_TRUE(user.ready()) << "no X display: run under Xvfb";
        // µ is AltGr+M on the German map, which is what the program's users have.
        ASSERT_EQ(std::system("setxkbmap de"), 0);
        std::filesystem::create_directories(settingsFolder());
        // COM5, German, transfer on, ENTER after each value, a decimal comma.
        std::ofstream(settingsFolder() / "Valbrix.ini", std::ios::binary)
            << "[Settings]\r\nComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nSeparator=Enter\r\n"
               "DecimalSeparator=,\r\nFormat=2,7 \xB5m/mil/Tesla\r\n";
        ASSERT_TRUE(gauge.start(config.portLink(5)));

        tray = std::make_unique<ChildProcess>(std::vector<std::string>{
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100",
            "--heighttype", "pixel", "--height", "24"});
        ASSERT_TRUE(tray->started()) << "trayer is missing: scripts/deps.sh x11";
        ASSERT_TRUE(testing::pollFor(5000, [this] { return user.trayAvailable(); })) << "trayer did not take the tray";
        receiver = std::make_unique<testing::X11Receiver>();
        ASSERT_TRUE(receiver->ready());
    }
    void TearDown() override {
        std::system("setxkbmap us");
        if (!HasFailure() || !program) return;
        program->waitForLine("\n", 500);  // reads what is left: no line contains a line end
        std::string trace;
        for (const std::string& line : program->lines) trace += line + "\n";
        ADD_FAILURE() << "what the program showed:\n" << trace;
    }

    std::filesystem::path settingsFolder() const { return config.root + "/Oden_Malvert/Valbrix"; }

    void startProgram(const std::string& executable = environment("VALBRIX_EXECUTABLE")) {
        program = std::make_unique<ChildProcess>(std::vector<std::string>{executable, "--trace"});
        ASSERT_TRUE(program->started());
        dialog = user.waitFor("Valbrix", user.root(), patienceMs);
        ASSERT_NE(dialog, 0u) << "no window named Valbrix";
    }

    // The trace line that shows `part`, failing the test when it does not come.
    void expectShown(const std::string& part) {
        EXPECT_TRUE(program->waitForLine(part, patienceMs)) << "never shown: " << part;
    }

    // The user goes back to the spreadsheet: the dialog loses the activation and goes into the tray.
    void backToReceiver() {
        receiver->focus();
        expectShown("window hidden");
    }

    Window trayIcon() { return user.findOf("valbrix", user.find("panel", user.root())); }

    void picture(const std::string& name) { EXPECT_EQ(testing::takePicture(dialog, name), ""); }

    testing::ConfigHome config;
    testing::X11User user;
    gaugesim::Simulator gauge;
    std::unique_ptr<ChildProcess> tray;
    std::unique_ptr<testing::X11Receiver> receiver;
    std::unique_ptr<ChildProcess> program;
    Window dialog = 0;
};

TEST_F(DesktopProgram, TypesReadingsAndFollowsTheChoicesMadeInItsWindow) {
    std::ofstream(settingsFolder() / "Valbrix.ini", std::ios::binary | std::ios::app) << "Journal=1\r\n";
    startProgram();
    expectShown("control 1014: Pocket-VARNITRON 6121");
    picture("dialog-german.png");
    // A new window gets the focus from the window manager; this server has none.
    user.focus(dialog);
    backToReceiver();

    gauge.reading(1, "4.56", "mm");
    gauge.reading(2, "-0,75", "MILS");
    gauge.reading(3, "123.4", "um");
    EXPECT_EQ(receiver->collectUntil("123 \xB5m<ENTER>", patienceMs), "4,56 mm<ENTER>-0,75 mil<ENTER>123 \xB5m<ENTER>");
    gauge.reading(4, "---", "um");
    EXPECT_EQ(receiver->collectUntil("<ENTER>", patienceMs), "<ENTER>");
    gauge.memoryDump(6, 3, "um");
    EXPECT_EQ(receiver->collectUntil("10,5 \xB5m<ENTER>", patienceMs),
              "10,0 \xB5m<TAB>10,1 \xB5m<TAB>10,2 \xB5m<ENTER>10,3 \xB5m<TAB>10,4 \xB5m<TAB>10,5 \xB5m<ENTER>");
    expectShown("tray icon 401: Werte \xC3\xBC" "bertragen.");

    // The dialog back from the tray: English from the settings menu, Tab from the control key list.
    user.click(trayIcon(), 1);
    expectShown("window shown");
    ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
    // Typed ahead without waiting for the menus, as a practised hand does.
    user.press({XK_Alt_L, XK_e});
    user.press({XK_Right});
    user.press({XK_e});
    expectShown("control 1012: Continue");
    user.press({XK_t});
    picture("dialog-english.png");
    backToReceiver();

    gauge.reading(5, "5.00", "mm");
    EXPECT_EQ(receiver->collectUntil("<TAB>", patienceMs), "5,00 mm<TAB>");
    expectShown("tray icon 401: Values sent.");

    // Leave through the tray menu, whose last item is "Leave Program".
    user.click(trayIcon(), 3);
    expectShown("tray menu shown");
    const Window menu = user.waitForMenu("valbrix", patienceMs);
    ASSERT_NE(menu, 0u);
    user.click(menu, 1, 12);
    const std::optional<int> status = program->waitForExit(patienceMs);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    const std::string saved = fileText(settingsFolder() / "Valbrix.ini");
    for (const char* line : {"Language=1\r\n", "Separator=Tab\r\n", "DecimalSeparator=,\r\n", "ComPort=5\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " not in\n" << saved;

    // The journal of the session, one line a value, in the language the day's file began in.
    const std::vector<std::filesystem::path> days = testing::journalFiles(settingsFolder() / "Journal");
    ASSERT_EQ(days.size(), 1u) << "one session, one day";
    const std::string journal = fileText(days[0]);
    testing::keepArtefact(journal, "journal-sample.csv");
    const std::string gaugeName = "Pocket-VARNITRON 6121";
    EXPECT_EQ(testing::journalRows(journal),
              (std::vector<std::string>{
                  "Datum und Uhrzeit|Schnittstelle|Ger\xC3\xA4t|Nummer|Wert|Einheit|Verbleib|Zeile|Spalte",
                  "COM5|" + gaugeName + "|1|4,56|mm|getippt||",
                  "COM5|" + gaugeName + "|2|-0,75|mil|getippt||",
                  "COM5|" + gaugeName + "|3|123|\xC2\xB5m|getippt||",
                  "COM5|" + gaugeName + "|4|---|?|getippt||",
                  "COM5|" + gaugeName + "|1|10,0|\xC2\xB5m|getippt|1|1",
                  "COM5|" + gaugeName + "|2|10,1|\xC2\xB5m|getippt|1|2",
                  "COM5|" + gaugeName + "|3|10,2|\xC2\xB5m|getippt|1|3",
                  "COM5|" + gaugeName + "|4|10,3|\xC2\xB5m|getippt|2|1",
                  "COM5|" + gaugeName + "|5|10,4|\xC2\xB5m|getippt|2|2",
                  "COM5|" + gaugeName + "|6|10,5|\xC2\xB5m|getippt|2|3",
                  "COM5|" + gaugeName + "|5|5,00|mm|getippt||",
              }));
}

// F1, the help item of the "?" menu and the tray menu's help item open the start page of the window's
// language in the desktop's browser.
TEST_F(DesktopProgram, HelpOpensThePageOfTheLanguageInTheBrowser) {
    const InstalledCopy copy(true);
    startProgram(copy.executable());
    // The window is on screen by the time the gauge is named in it.
    expectShown("control 1014: Pocket-VARNITRON 6121");
    user.focus(dialog);
    ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
    const auto opened = [&copy](std::size_t count) {
        return testing::pollFor(patienceMs, [&] { return copy.pagesOpened().size() >= count; });
    };

    user.press({XK_F1});
    EXPECT_TRUE(opened(1));
    // "?" is the last menu of the bar: Left from the first one wraps round to it.
    user.press({XK_Alt_L, XK_p});
    user.press({XK_Left});
    user.press({XK_h});
    EXPECT_TRUE(opened(2));

    user.press({XK_Alt_L, XK_e});
    user.press({XK_Right});
    user.press({XK_e});
    expectShown("control 1012: Continue");
    user.press({XK_F1});
    EXPECT_TRUE(opened(3));

    backToReceiver();
    // A click that comes while the tray is still taking the icon in is lost: click until the menu shows.
    ASSERT_TRUE(testing::pollFor(patienceMs, [this] {
        if (const Window icon = trayIcon()) user.click(icon, 3);
        return program->waitForLine("tray menu shown", 1000).has_value();
    }));
    ASSERT_NE(user.waitForMenu("valbrix", patienceMs), 0u);
    user.press({XK_h});
    EXPECT_TRUE(opened(4));
    EXPECT_EQ(copy.pagesOpened(), (std::vector<std::string>{copy.page("de"), copy.page("de"), copy.page("en"), copy.page("en")}));
}

// Without the manual, or without a browser to show it, a box says so.
TEST_F(DesktopProgram, HelpSaysSoWhenItCannotBeShown) {
    struct Case {
        bool withManual;
        bool withBrowser;
        std::string notice;  // after the manual's folder
    };
    const Case cases[] = {
        {false, true, "/de/index.html fehlt."},
        {true, false, "/de/index.html"},
    };
    for (const Case& c : cases) {
        const InstalledCopy copy(c.withManual, c.withBrowser);
        startProgram(copy.executable());
        // The window is on screen by the time the gauge is named in it.
        expectShown("control 1014: Pocket-VARNITRON 6121");
        user.focus(dialog);
        ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
        user.press({XK_F1});
        if (c.withManual) {
            expectShown("notice Hilfe: Es l\xC3\xA4sst sich kein Webbrowser starten");
            expectShown(copy.manual() + c.notice);
        } else {
            expectShown("notice Hilfe: Die Hilfe ist nicht installiert: " + copy.manual() + c.notice);
        }
        EXPECT_NE(user.waitFor("Hilfe", user.root(), patienceMs), 0u) << "no box captioned Hilfe";
        // The box open, the program still ends in order.
        program->signal(SIGTERM);
        const std::optional<int> status = program->waitForExit(patienceMs);
        ASSERT_TRUE(status);
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
        EXPECT_TRUE(copy.pagesOpened().empty());
    }
}

// The adapter pulled out while the program runs and plugged back in under the same number: the status
// line and the tray say the port is gone, and the readings after the replug are typed.
TEST_F(DesktopProgram, LivesThroughAPulledAdapterAndTypesWhatComesAfterTheReplug) {
    startProgram();
    expectShown("control 1014: Pocket-VARNITRON 6121");
    user.focus(dialog);
    backToReceiver();
    gauge.reading(1, "4.56", "mm");
    EXPECT_EQ(receiver->collectUntil("<ENTER>", patienceMs), "4,56 mm<ENTER>");

    gauge.unplug();
    expectShown("COM5 getrennt. Warte auf die Schnittstelle.");
    expectShown("Schnittstelle getrennt.");
    ASSERT_TRUE(gauge.plugIn());
    expectShown("COM5 wieder verbunden.");
    // Asked who it is again, the gauge is named once more.
    ASSERT_TRUE(gauge.waitForCommand("G00", 0, patienceMs).has_value());
    gauge.reading(2, "4.57", "mm");
    gauge.reading(3, "4.58", "mm");
    EXPECT_EQ(receiver->collectUntil("4,58 mm<ENTER>", patienceMs), "4,57 mm<ENTER>4,58 mm<ENTER>");

    program->signal(SIGTERM);
    const std::optional<int> status = program->waitForExit(patienceMs);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
}

// Started again while it sits in the tray, the program brings its window out, and the second start
// ends with 0 without a window or tray icon of its own.
TEST_F(DesktopProgram, ASecondStartShowsTheFirstOnesWindowAndEnds) {
    startProgram();
    expectShown("control 1014: Pocket-VARNITRON 6121");
    user.focus(dialog);
    backToReceiver();
    ChildProcess second({environment("VALBRIX_EXECUTABLE"), "--trace"});
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(second.waitForLine("already running", patienceMs));
    const std::optional<int> status = second.waitForExit(patienceMs);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    expectShown("window shown");
    EXPECT_EQ(second.lines, std::vector<std::string>{"valbrix: already running, its window is shown"});
}

// SIGTERM or SIGINT while one of the program's boxes is open (here the exit question): the program
// ends as Exit ends it, with its settings saved and exit code 0.
TEST_F(DesktopProgram, EndsInOrderOnASignalWhileABoxIsOpen) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        std::ofstream(settingsFolder() / "Valbrix.ini", std::ios::binary)
            << "[Settings]\r\nComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nSeparator=Enter\r\n"
               "AskForClose=1\r\nDecimalSeparator=,\r\n";
        startProgram();
        expectShown("control 1014: Pocket-VARNITRON 6121");
        user.focus(dialog);
        ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
        // Escape is the dialog's Exit, which asks first.
        user.press({XK_Escape});
        expectShown("question Frage: Programm verlassen ?");
        EXPECT_NE(user.waitFor("Frage", user.root(), patienceMs), 0u) << "no box captioned Frage";
        program->signal(signal);
        const std::optional<int> status = program->waitForExit(patienceMs);
        ASSERT_TRUE(status);
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
        const std::string saved = fileText(settingsFolder() / "Valbrix.ini");
        for (const char* line :
             {"Separator=Enter\r\n", "DecimalSeparator=,\r\n", "ComPort=5\r\n", "Device=6121\r\n", "AskForClose=1\r\n"})
            EXPECT_NE(saved.find(line), std::string::npos) << line << " not in\n" << saved;
        program.reset();
    }
}

// A reading that comes while the user holds Ctrl would arrive as shortcuts, and with Caps Lock on "mm"
// as "MM". Without logind (no system bus here) a running screen saver stands for a locked screen. Each
// time the readings wait, the status line says why, and then they arrive whole, in order and in the
// case they are meant.
TEST_F(DesktopProgram, ReadingsWaitForAHeldKeyAndTheScreenSaverAndKeepTheirCase) {
    const ScopedVariable noLogind("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket");
    startProgram();
    expectShown("control 1014: Pocket-VARNITRON 6121");
    user.focus(dialog);
    backToReceiver();

    user.hold(XK_Control_L);
    gauge.reading(1, "4.56", "mm");
    expectShown("control 1003: Strg, Alt, AltGr, Umschalt oder Windows-Taste gedr\xC3\xBC" "ckt: Werte warten.");
    gauge.reading(2, "4.57", "mm");
    user.release(XK_Control_L);
    EXPECT_EQ(receiver->collectUntil("4,57 mm<ENTER>", patienceMs), "4,56 mm<ENTER>4,57 mm<ENTER>");
    expectShown("control 1003: Programm aktiv.");

    user.press({XK_Caps_Lock});
    gauge.reading(3, "4.58", "mm");
    gauge.reading(4, "12.5", "um");
    EXPECT_EQ(receiver->collectUntil("\xB5m<ENTER>", patienceMs), "4,58 mm<ENTER>12,5 \xB5m<ENTER>");
    user.press({XK_Caps_Lock});

    user.startScreenSaver();
    gauge.reading(5, "4.59", "mm");
    expectShown("control 1003: Der Bildschirm ist gesperrt: Werte warten.");
    user.stopScreenSaver();
    EXPECT_EQ(receiver->collectUntil("<ENTER>", patienceMs), "4,59 mm<ENTER>");
}

// The screen locked, as logind tells it: readings wait, and after the unlock they arrive in their
// order. logind is played by a stand-in on a bus of the test's own.
TEST_F(DesktopProgram, ReadingsWaitWhileTheScreenIsLockedAndThenArriveInOrder) {
    ChildProcess bus({"dbus-daemon", "--session", "--nofork", "--print-address"});
    ASSERT_TRUE(bus.started()) << "dbus-daemon is missing: scripts/deps.sh wayland";
    const std::optional<std::string> address = bus.waitForLine("unix:", patienceMs);
    ASSERT_TRUE(address) << "dbus-daemon gave no address";
    ChildProcess logind({"/usr/bin/python3", environment("VALBRIX_LOGIND_STAND_IN"), *address});
    ASSERT_TRUE(logind.waitForLine("ready", patienceMs)) << "the stand-in did not start: scripts/deps.sh x11";
    const ScopedVariable systemBus("DBUS_SYSTEM_BUS_ADDRESS", *address);
    startProgram();
    expectShown("control 1014: Pocket-VARNITRON 6121");
    user.focus(dialog);
    backToReceiver();

    logind.signal(SIGUSR1);
    ASSERT_TRUE(logind.waitForLine("locked", patienceMs));
    gauge.reading(1, "4.56", "mm");
    expectShown("control 1003: Der Bildschirm ist gesperrt: Werte warten.");
    expectShown("tray icon 401: Der Bildschirm ist gesperrt: Werte warten.");
    gauge.reading(2, "4.57", "mm");
    gauge.reading(3, "4.58", "mm");
    EXPECT_EQ(receiver->collect(1000), "");

    logind.signal(SIGUSR2);
    ASSERT_TRUE(logind.waitForLine("unlocked", patienceMs));
    EXPECT_EQ(receiver->collectUntil("4,58 mm<ENTER>", patienceMs), "4,56 mm<ENTER>4,57 mm<ENTER>4,58 mm<ENTER>");
    expectShown("control 1003: Programm aktiv.");
}

}  // namespace
}  // namespace valbrix
