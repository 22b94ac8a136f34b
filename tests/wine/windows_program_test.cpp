// Valbrix.exe as a Windows user meets it, under wine on a virtual X server with a tray (trayer): a
// fresh wine prefix, a simulated gauge on a pseudo-terminal that the prefix knows as COM5, the
// settings file in the user's folder, and a Win32 window of the test's own (win32_receiver) that has
// the keyboard focus, as a spreadsheet would. The test clicks the tray icon and its menu with real
// pointer events, reads what arrives in the receiving window, and watches the dialog through the
// receiver.
//
// VALBRIX_WINDOWS_PROGRAM and VALBRIX_WINDOWS_RECEIVER name the two programs, VALBRIX_WINE_RUN the
// script that makes wine prefixes, VALBRIX_HELP_FILES the folder with the help files that the Linux
// build compiles; pictures of the dialog go to VALBRIX_ARTEFACTS when set. The program runs from
// Program Files with the help files beside it, as the installer leaves it.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "child_process.h"
#include "deadline.h"
#include "gaugesim/simulator.h"
#include "journal_file.h"
#include "window_picture.h"
#include "x11_user.h"

namespace valbrix {
namespace {

using testing::ChildProcess;
namespace fs = std::filesystem;

constexpr int patienceMs = 30000;
constexpr const char* wine = "/usr/lib/wine/wine64";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

std::string fileText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// What wine calls a Linux path.
std::string windowsPath(const std::string& path) { return "Z:" + path; }

// What the receiving window reports, one line at a time: the keys typed into it, and what Valbrix's
// dialog shows.
class Receiver {
public:
    Receiver() : process(std::vector<std::string>{wine, program}) {}

    bool ready() { return process.started() && waitFor([this] { return said("receiver ready"); }); }

    // Waits until `done` holds for what has arrived; false after timeoutMs.
    bool waitFor(const std::function<bool()>& done, int timeoutMs = patienceMs) {
        const testing::Deadline deadline(timeoutMs);
        while (!done()) {
            if (deadline.passed()) return false;
            std::optional<std::string> line = process.waitForLine("", std::min(200, deadline.leftMs()));
            if (!line) continue;
            if (line->ends_with('\r')) line->pop_back();  // the console's line end
            if (line->rfind("typed ", 0) == 0) typedText += line->substr(6);
            else reports.push_back(*line);
            if (line->rfind("foreground: ", 0) == 0) foreground = line->substr(12);
            if (line->rfind("window ", 0) == 0) windowState = *line;
        }
        return true;
    }

    // How many reports have come so far, and whether one has come after the first `count` of them.
    std::size_t reportCount() const { return reports.size(); }
    bool showsAfter(std::size_t count, const std::string& report) {
        return waitFor([&] { return std::find(reports.begin() + count, reports.end(), report) != reports.end(); });
    }
    // Whether the report came about the program that runs now.
    bool said(const std::string& report) const {
        return std::find(reports.begin() + current, reports.end(), report) != reports.end();
    }
    bool shows(const std::string& report) {
        return waitFor([&] { return said(report); });
    }
    // The dialog is now in that state ("window shown", "window hidden", "window gone"), whatever it
    // was in before.
    bool windowIs(const std::string& state) {
        return waitFor([&] { return windowState == state; });
    }
    // What is reported from now on is about the next program.
    void forget() { current = reports.size(); }

    // The receiving window gets the keys, and still does a moment later.
    bool keepsTheFocus() {
        const auto ours = [this] { return foreground == "Valbrix receiver (ValbrixReceiver)"; };
        return waitFor(ours, 3000) && !waitFor([&] { return !ours(); }, 700);
    }

    // Everything typed until the text ends with `ending`; taken away from what is kept.
    std::string typedUntil(const std::string& ending) {
        waitFor([&] { return typedText.ends_with(ending); });
        return std::exchange(typedText, std::string());
    }
    // Everything typed into the window up to now, taken away from what is kept. The mark goes through
    // the system's input queue as the program's keys do, so it arrives after every key sent before
    // it; the window must have the keyboard focus.
    std::string typedBeforeNow() {
        const std::string mark = "<MARK>";
        if (std::system((std::string(wine) + " " + program + " --mark").c_str()) != 0) return "(no mark pressed)";
        std::string typed = typedUntil(mark);
        if (!typed.ends_with(mark)) return typed + "(no mark arrived)";
        typed.resize(typed.size() - mark.size());
        return typed;
    }

    // The user holds a key down or lets it go ("--hold ctrl", "--release ctrl"); the system tells the
    // program that the session was locked or unlocked ("--session lock").
    bool run(const std::string& what) {
        return std::system((std::string(wine) + " " + program + " " + what).c_str()) == 0;
    }

    std::string allReports() const {
        std::string text;
        for (const std::string& report : reports) text += report + "\n";
        return text;
    }

private:
    const std::string program = windowsPath(environment("VALBRIX_WINDOWS_RECEIVER"));
    ChildProcess process;
    std::string foreground;
    std::string windowState;
    std::string typedText;
    std::vector<std::string> reports;
    std::ptrdiff_t current = 0;  // the first report about the program that runs now
};

class WindowsProgram : public ::testing::Test {
protected:
    // One fresh prefix for the run; each test gets its own gauge, tray, receiver and settings file.
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/valbrix-wine-XXXXXX";
        root = mkdtemp(pattern);
        prefix = root + "/prefix";
        const std::string display = environment("DISPLAY");
        const std::string make = "env -u DISPLAY VALBRIX_WINEPREFIX=" + prefix + " " + environment("VALBRIX_WINE_RUN") +
                                 " --init >/dev/null";
        prefixMade = std::system(make.c_str()) == 0;
        const fs::path installed = fs::path(prefix) / "drive_c/Program Files/Valbrix";
        std::error_code failed;
        fs::create_directories(installed, failed);
        fs::copy_file(environment("VALBRIX_WINDOWS_PROGRAM"), installed / "Valbrix.exe", failed);
        prefixMade = prefixMade && !failed;
        helpFilesInstalled = true;
        for (const char* help : {"VALBRIXHELP_DE.chm", "VALBRIXHELP_EN.chm"}) {
            std::error_code missing;
            fs::copy_file(fs::path(environment("VALBRIX_HELP_FILES")) / help, installed / help, missing);
            helpFilesInstalled = helpFilesInstalled && !missing;
        }
        setenv("WINEPREFIX", prefix.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEARCH", "win64", 1);
        // A crash ends the program with its code instead of waiting in the debugger.
        setenv("WINEDLLOVERRIDES", "winedbg.exe=d", 1);
    }
    static void TearDownTestSuite() {
        endWineSession();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    static void endWineSession() { std::system("/usr/lib/wine/wineserver -k 2>/dev/null"); }

    void SetUp() override {
        ASSERT_TRUE(prefixMade) << "no wine prefix";
        for (const char* name : {"VALBRIX_WINDOWS_PROGRAM", "VALBRIX_WINDOWS_RECEIVER", "VALBRIX_WINE_RUN"})
            ASSERT_FALSE(environment(name).empty()) << name << " is not set";
        ASSERT_TRUE(user.ready()) << "no X display: run under Xvfb";
        tray = std::make_unique<ChildProcess>(std::vector<std::string>{
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100",
            "--heighttype", "pixel", "--height", "24"});
        ASSERT_TRUE(tray->started()) << "trayer is missing: scripts/deps.sh x11";
        ASSERT_TRUE(testing::pollFor(patienceMs, [this] { return user.trayAvailable(); })) << "trayer did not take the tray";
        ASSERT_TRUE(gauge.start(prefix + "/dosdevices/com5"));
        fs::create_directories(settingsFile().parent_path());
        fs::remove(settingsFile());
        receiver = std::make_unique<Receiver>();
        ASSERT_TRUE(receiver->ready()) << "the receiving window did not come up";
    }
    void TearDown() override {
        if (HasFailure() && receiver) ADD_FAILURE() << "what the receiver saw last:\n" << receiver->allReports();
        program.reset();
        receiver.reset();
        endWineSession();
    }

    static fs::path settingsFile() {
        const passwd* account = getpwuid(getuid());
        return fs::path(prefix) / "drive_c/users" / (account != nullptr ? account->pw_name : "root") /
               "AppData/Local/Oden_Malvert/Valbrix/Valbrix.ini";
    }

    // Every test starts with the dialog on the screen, where the clicks and pictures find it.
    void startProgram(const std::string& settings) {
        std::ofstream(settingsFile(), std::ios::binary) << "[Settings]\r\n" << settings;
        program = std::make_unique<ChildProcess>(
            std::vector<std::string>{wine, "C:\\Program Files\\Valbrix\\Valbrix.exe"});
        ASSERT_TRUE(program->started());
        ASSERT_TRUE(receiver->windowIs("window shown")) << "the dialog did not come up";
        dialog = user.waitFor("Valbrix", user.root(), patienceMs);
        ASSERT_NE(dialog, 0u) << "no window named Valbrix";
        ASSERT_TRUE(user.waitForViewable(dialog, patienceMs)) << "the dialog is not on the screen";
    }

    // Asks the program to end as taskkill does without /F: a WM_CLOSE to each of its windows.
    // taskkill looks the program up by its name among the processes the system lists and reaches it
    // only through its windows; a program it finds without windows it leaves running and still
    // reports success. So it is called once the receiver sees the dialog of a process listed as
    // Valbrix.exe, and what it says goes into the failure.
    void taskkill() {
        ASSERT_TRUE(receiver->shows("listed: Valbrix.exe")) << "the system does not list Valbrix.exe";
        const std::string output = root + "/taskkill.txt";
        const int status = std::system((std::string(wine) + " taskkill /IM Valbrix.exe >" + output + " 2>&1").c_str());
        const std::string said = fileText(output);
        EXPECT_EQ(status, 0) << "taskkill said: " << said;
        const std::optional<int> ended = program->waitForExit(patienceMs);
        ASSERT_TRUE(ended) << "Valbrix.exe did not end; taskkill said: " << said;
        EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << *ended;
        // Whatever the receiver reports from now on is about the next program.
        ASSERT_TRUE(receiver->windowIs("window gone"));
        receiver->forget();
    }

    // The user goes back to the spreadsheet: a click into the receiving window, which then has the
    // keyboard focus. Under wine a tray icon that has just been docked takes the activation, which
    // Windows never lets it do; the user then clicks once more.
    void backToReceiver() {
        const Window window = user.waitFor("Valbrix receiver", user.root(), patienceMs);
        ASSERT_NE(window, 0u);
        for (int click = 0; click < 5; ++click) {
            user.click(window, 1);
            if (receiver->keepsTheFocus()) return;
        }
        FAIL() << "the receiving window does not keep the focus";
    }

    Window trayIcon() { return user.findOf("explorer.exe", user.find("panel", user.root())); }

    // What the tray icon shows, pixel for pixel; empty while it cannot be read. A window that goes away
    // meanwhile is no error.
    static std::string iconPicture(Window icon) {
        std::string pixels;
        withOwnDisplay([&](Display* display) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(display, icon, &attributes) || attributes.map_state != IsViewable) return;
            if (XImage* image = XGetImage(display, icon, 0, 0, static_cast<unsigned>(attributes.width),
                                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap)) {
                pixels.assign(image->data, static_cast<std::size_t>(image->bytes_per_line) * image->height);
                image->f.destroy_image(image);  // XDestroyImage, without Xutil.h and its macros
            }
        });
        return pixels;
    }
    static bool viewable(Window window) {
        bool shown = false;
        withOwnDisplay([&](Display* display) {
            XWindowAttributes attributes{};
            shown = XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
        });
        return shown;
    }
    static void withOwnDisplay(const std::function<void(Display*)>& work) {
        Display* display = XOpenDisplay(nullptr);
        const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        work(display);
        XSync(display, False);
        XSetErrorHandler(previous);
        XCloseDisplay(display);
    }

    // The first item of the tray menu, "Daten übertragen" or "Transfer active"; the icon shows the
    // other picture once the choice has come. Under wine a click into a tray menu that has only just
    // come up is now and then lost on a busy machine (the menu closes without a choice), which the
    // user meets as a menu that closed: the user opens it once more.
    void toggleTransferInTheTray() {
        const Window icon = trayIcon();
        ASSERT_NE(icon, 0u) << "no tray icon";
        const std::string before = iconPicture(icon);
        ASSERT_FALSE(before.empty()) << "the tray icon cannot be read";
        for (int attempt = 0; attempt < 3; ++attempt) {
            user.click(icon, 3);
            const Window menu = user.waitForMenu("valbrix.exe", patienceMs);
            ASSERT_NE(menu, 0u) << "no tray menu";
            XWindowAttributes attributes{};
            Display* display = XOpenDisplay(nullptr);
            XGetWindowAttributes(display, menu, &attributes);
            XCloseDisplay(display);
            user.click(menu, 1, attributes.height - 10);
            ASSERT_TRUE(testing::pollFor(patienceMs, [&] { return !viewable(menu); })) << "the tray menu stays open";
            const auto switched = [&] {
                const std::string now = iconPicture(icon);
                return !now.empty() && now != before;
            };
            if (testing::pollFor(15000, switched)) return;
        }
        FAIL() << "the tray icon never showed the transfer switched";
    }

    void picture(const std::string& name) { EXPECT_EQ(testing::takePicture(dialog, name), ""); }

    // The density of the screen as the display settings give it (wine reads it from there when a
    // program starts): 96 dpi is 100 %, 144 dpi 150 %. The programs running go on at the one they
    // started with.
    static bool setScreenDpi(int dpi) {
        return std::system((std::string(wine) + " reg add \"HKCU\\Control Panel\\Desktop\" /v LogPixels /t REG_DWORD /d " +
                            std::to_string(dpi) + " /f >/dev/null 2>&1")
                               .c_str()) == 0;
    }

    static inline std::string root;
    static inline std::string prefix;
    static inline bool prefixMade = false;
    static inline bool helpFilesInstalled = false;
    testing::X11User user;
    gaugesim::Simulator gauge;
    std::unique_ptr<ChildProcess> tray;
    std::unique_ptr<Receiver> receiver;
    std::unique_ptr<ChildProcess> program;
    Window dialog = 0;
};

TEST_F(WindowsProgram, TypesIntoTheFocusedWindowStopsAndGoesOnFromTheTrayAndSavesOnTaskkill) {
    // COM5, German, a decimal comma, units written as um, ENTER after each value; the model group
    // and keyboard layout are left to the program, which writes them when it ends.
    ASSERT_NO_FATAL_FAILURE(
        startProgram("ComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nSeparator=Enter\r\nDecimalSeparator=,\r\n"
                     "Format=2,7 um/mil/Tesla\r\nJournal=1\r\n"));
    ASSERT_TRUE(receiver->shows("control 1014: Pocket-VARNITRON 6121"));
    EXPECT_TRUE(receiver->shows("control 1003: Programm aktiv."));
    picture("windows-dialog-german.png");
    // Clicking into the receiving window sends the dialog into the tray.
    const Window receiverWindow = user.waitFor("Valbrix receiver", user.root(), patienceMs);
    ASSERT_NE(receiverWindow, 0u);
    user.click(receiverWindow, 1);
    ASSERT_TRUE(receiver->windowIs("window hidden"));
    ASSERT_TRUE(testing::pollFor(patienceMs, [this] { return trayIcon(); })) << "no tray icon";
    backToReceiver();

    gauge.reading(1, "4.56", "mm");
    gauge.reading(2, "-0,75", "MILS");
    gauge.reading(3, "123.4", "um");
    EXPECT_EQ(receiver->typedUntil("123 um<ENTER>"), "4,56 mm<ENTER>-0,75 mil<ENTER>123 um<ENTER>");
    gauge.reading(4, "---", "um");
    EXPECT_EQ(receiver->typedUntil("<ENTER>"), "<ENTER>");
    gauge.memoryDump(6, 3, "um");
    EXPECT_EQ(receiver->typedUntil("10,5 um<ENTER>"),
              "10,0 um<TAB>10,1 um<TAB>10,2 um<ENTER>10,3 um<TAB>10,4 um<TAB>10,5 um<ENTER>");

    // Transfer off: the values are shown, and nothing is typed. The program is done with the first
    // value, keys and all, once it shows the second; one typed in spite of that would come before
    // what is typed once transfer is on again. The menu needs the hidden dialog in front; when it
    // closes, the receiving window has the keyboard again without a click, and the mark arrives there.
    toggleTransferInTheTray();
    gauge.reading(5, "5.00", "mm");
    gauge.reading(6, "5.50", "mm");
    EXPECT_TRUE(receiver->shows("control 1015: 5,50"));
    EXPECT_EQ(receiver->typedBeforeNow(), "");
    // And on again: the next reading lands in the receiving window, not in the dialog's lists.
    toggleTransferInTheTray();
    gauge.reading(7, "6.25", "mm");
    EXPECT_EQ(receiver->typedUntil("<ENTER>"), "6,25 mm<ENTER>");
    gauge.reading(8, "7.50", "mm");
    EXPECT_EQ(receiver->typedBeforeNow(), "7,50 mm<ENTER>");

    // Off once more, and the program is ended from outside: the file holds the choices, untouched by
    // keys that went astray.
    toggleTransferInTheTray();
    ASSERT_NO_FATAL_FAILURE(taskkill());
    const std::string saved = fileText(settingsFile());
    for (const char* line : {"ComPort=5\r\n", "Language=0\r\n", "ActiveOnStartup=0\r\n", "Separator=Enter\r\n",
                             "DecimalSeparator=,\r\n", "Format=2,7 um/mil/Tesla\r\n", "Device=6121\r\n",
                             "KeyboardLayout=1\r\n", "Sequence=TAB,DOWN\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " not in\n" << saved;

    // The journal beside the settings file: every reading, typed or only shown, the dump with its grid.
    const std::vector<fs::path> days = testing::journalFiles(settingsFile().parent_path() / "Journal");
    ASSERT_EQ(days.size(), 1u) << "one session, one day";
    const std::string journal = fileText(days[0]);
    testing::keepArtefact(journal, "windows-journal-sample.csv");
    const std::string gauge = "COM5|Pocket-VARNITRON 6121|";
    EXPECT_EQ(testing::journalRows(journal),
              (std::vector<std::string>{
                  "Datum und Uhrzeit|Schnittstelle|Ger\xC3\xA4t|Nummer|Wert|Einheit|Verbleib|Zeile|Spalte",
                  gauge + "1|4,56|mm|getippt||",
                  gauge + "2|-0,75|mil|getippt||",
                  gauge + "3|123|um|getippt||",
                  gauge + "4|---|?|getippt||",
                  gauge + "1|10,0|um|getippt|1|1",
                  gauge + "2|10,1|um|getippt|1|2",
                  gauge + "3|10,2|um|getippt|1|3",
                  gauge + "4|10,3|um|getippt|2|1",
                  gauge + "5|10,4|um|getippt|2|2",
                  gauge + "6|10,5|um|getippt|2|3",
                  gauge + "5|5,00|mm|angezeigt||",
                  gauge + "6|5,50|mm|angezeigt||",
                  gauge + "7|6,25|mm|getippt||",
                  gauge + "8|7,50|mm|getippt||",
              }));
}

// Started again while it sits in the tray, Valbrix.exe brings its window out, and the second start
// ends with 0 without a window or tray icon of its own.
TEST_F(WindowsProgram, ASecondStartShowsTheFirstOnesWindowAndEnds) {
    ASSERT_NO_FATAL_FAILURE(startProgram("ComPort=5\r\nLanguage=1\r\n"));
    ASSERT_TRUE(receiver->shows("control 1014: Pocket-VARNITRON 6121"));
    const Window receiverWindow = user.waitFor("Valbrix receiver", user.root(), patienceMs);
    ASSERT_NE(receiverWindow, 0u);
    user.click(receiverWindow, 1);
    ASSERT_TRUE(receiver->windowIs("window hidden"));
    ChildProcess second({wine, "C:\\Program Files\\Valbrix\\Valbrix.exe"});
    ASSERT_TRUE(second.started());
    const std::optional<int> ended = second.waitForExit(patienceMs);
    ASSERT_TRUE(ended) << "the second Valbrix.exe runs on";
    EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << *ended;
    EXPECT_TRUE(receiver->windowIs("window shown"));
    ASSERT_NO_FATAL_FAILURE(taskkill());
}

// The adapter pulled while the line is quiet. The kernel hangs up a pseudo-terminal's slave when its
// master closes, as a USB serial driver hangs up the tty of an adapter pulled out: wine's reads of the
// port then go on succeeding empty, and only writes and ClearCommError fail. With nothing to send,
// only the program's own question how the port is notices; it says so, and once the adapter is
// plugged in again asks the gauge who it is and types on.
TEST_F(WindowsProgram, LivesThroughAPulledAdapterAndTypesWhatComesAfterTheReplug) {
    ASSERT_NO_FATAL_FAILURE(
        startProgram("ComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nSeparator=Enter\r\nDecimalSeparator=,\r\n"
                     "Format=2,7 um/mil/Tesla\r\n"));
    ASSERT_TRUE(receiver->shows("control 1014: Pocket-VARNITRON 6121"));
    // The identification's last request answered and the answer read: nothing more is sent. Pulled in
    // the middle of an exchange, the adapter would be noticed by the write of a request sent again.
    ASSERT_TRUE(gauge.waitForCommand("G150000", 0, patienceMs).has_value());
    ASSERT_TRUE(gauge.waitHostRead(patienceMs));
    const std::size_t commandsBefore = gauge.commands().size();
    gauge.unplug();
    EXPECT_TRUE(receiver->shows("control 1003: COM5 getrennt. Warte auf die Schnittstelle."));
    ASSERT_TRUE(gauge.plugIn());
    EXPECT_TRUE(receiver->shows("control 1003: COM5 wieder verbunden."));
    ASSERT_TRUE(gauge.waitForCommand("G00", commandsBefore, patienceMs).has_value());
    const Window receiverWindow = user.waitFor("Valbrix receiver", user.root(), patienceMs);
    ASSERT_NE(receiverWindow, 0u);
    user.click(receiverWindow, 1);
    ASSERT_TRUE(receiver->windowIs("window hidden"));
    backToReceiver();
    gauge.reading(2, "4.57", "mm");
    EXPECT_EQ(receiver->typedUntil("<ENTER>"), "4,57 mm<ENTER>");
    ASSERT_NO_FATAL_FAILURE(taskkill());
}

// Readings wait while the user holds a modifier, which would turn them into shortcuts, and while the
// screen is locked, which refuses them; then they are typed once each, in their order.
TEST_F(WindowsProgram, ReadingsWaitForAHeldKeyAndALockedScreen) {
    ASSERT_NO_FATAL_FAILURE(
        startProgram("ComPort=5\r\nLanguage=1\r\nActiveOnStartup=1\r\nSeparator=Enter\r\nDecimalSeparator=,\r\n"
                     "Format=2,7 um/mil/Tesla\r\n"));
    ASSERT_TRUE(receiver->shows("control 1014: Pocket-VARNITRON 6121"));
    const Window receiverWindow = user.waitFor("Valbrix receiver", user.root(), patienceMs);
    ASSERT_NE(receiverWindow, 0u);
    user.click(receiverWindow, 1);
    ASSERT_TRUE(receiver->windowIs("window hidden"));
    backToReceiver();

    struct Case {
        const char* hold;
        const char* release;
        const char* said;
    };
    const Case cases[] = {
        {"--hold ctrl", "--release ctrl", "Ctrl, Alt, AltGr, Shift or the Windows key is held: readings wait."},
        {"--hold altgr", "--release altgr", "Ctrl, Alt, AltGr, Shift or the Windows key is held: readings wait."},
        {"--session lock", "--session unlock", "The screen is locked: readings wait."},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hold);
        const std::size_t before = receiver->reportCount();
        ASSERT_TRUE(receiver->run(c.hold));
        gauge.reading(++number, "1.25", "mm");
        gauge.reading(++number, "2.50", "mm");
        EXPECT_TRUE(receiver->showsAfter(before, std::string("control 1003: ") + c.said));
        ASSERT_TRUE(receiver->run(c.release));
        EXPECT_EQ(receiver->typedUntil("2,50 mm<ENTER>"), "1,25 mm<ENTER>2,50 mm<ENTER>");
        EXPECT_EQ(receiver->typedBeforeNow(), "");
    }
    ASSERT_NO_FATAL_FAILURE(taskkill());
}

// With the dialog on screen, a memory dump is shown value by value and nothing is typed anywhere.
TEST_F(WindowsProgram, OnScreenTheValuesAreShownAndNotTyped) {
    ASSERT_NO_FATAL_FAILURE(
        startProgram("ComPort=5\r\nLanguage=1\r\nSeparator=Tab\r\nDecimalSeparator=.\r\nFormat=2,7 um/mil/Tesla\r\n"));
    ASSERT_TRUE(receiver->shows("control 1014: Pocket-VARNITRON 6121"));
    EXPECT_TRUE(receiver->shows("control 1003: Program active."));
    gauge.memoryDump(12, 4, "um", 20.0, 0.5);
    EXPECT_TRUE(receiver->shows("control 1015: 25.5"));
    EXPECT_TRUE(receiver->shows("control 1016: um"));
    picture("windows-dialog-english.png");
    ASSERT_NO_FATAL_FAILURE(taskkill());
    // Once the program has ended it types nothing more: what reached the receiving window is all
    // there before a mark typed into it now.
    backToReceiver();
    EXPECT_EQ(receiver->typedBeforeNow(), "");
    const std::string saved = fileText(settingsFile());
    for (const char* line : {"Language=1\r\n", "Separator=Tab\r\n", "DecimalSeparator=.\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " not in\n" << saved;
}

// The height of the tallest glyph drawn in black: the value field's digits, the largest text of the
// dialog. Glyphs are the groups of touching black pixels; lines of the window's frame are no glyphs.
int tallestGlyph(const testing::Picture& picture) {
    std::vector<bool> seen(picture.rgb.size() / 3, false);
    int tallest = 0;
    for (int startY = 0; startY < picture.height; ++startY) {
        for (int startX = 0; startX < picture.width; ++startX) {
            const std::size_t start = static_cast<std::size_t>(startY) * picture.width + startX;
            if (seen[start] || !picture.dark(startX, startY)) continue;
            seen[start] = true;
            std::vector<std::pair<int, int>> open{{startX, startY}};
            int top = startY, bottom = startY, left = startX, right = startX;
            while (!open.empty()) {
                const auto [x, y] = open.back();
                open.pop_back();
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
                for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height) continue;
                    const std::size_t next = static_cast<std::size_t>(ny) * picture.width + nx;
                    if (seen[next] || !picture.dark(nx, ny)) continue;
                    seen[next] = true;
                    open.emplace_back(nx, ny);
                }
            }
            const int height = bottom - top + 1;
            const int width = right - left + 1;
            if (height < picture.height / 4 && width < picture.width / 4) tallest = std::max(tallest, height);
        }
    }
    return tallest;
}

// At 150 % the program draws its dialog and the value's font half as large again as at 100 %,
// instead of leaving the system to stretch a small picture.
TEST_F(WindowsProgram, AtOneAndAHalfTimesTheDensityTheDialogAndItsValueAreDrawnLarger) {
    struct Seen {
        int width;
        int height;
        int glyph;
    };
    std::vector<Seen> seen;
    // The tests after this one find the screen at 100 % again, however this one ends.
    struct BackTo100 {
        ~BackTo100() { setScreenDpi(96); }
    } backTo100;
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        ASSERT_TRUE(setScreenDpi(dpi));
        ASSERT_NO_FATAL_FAILURE(startProgram(
            "ComPort=5\r\nLanguage=1\r\nSeparator=Tab\r\nDecimalSeparator=.\r\nFormat=2,7 um/mil/Tesla\r\n"));
        ASSERT_TRUE(receiver->shows("control 1014: Pocket-VARNITRON 6121"));
        gauge.memoryDump(12, 4, "um", 20.0, 0.5);
        ASSERT_TRUE(receiver->shows("control 1015: 25.5"));
        if (dpi == 144) picture("windows-dialog-english-150.png");
        const testing::Picture shot = testing::readPicture(dialog);
        if (shot.rgb.empty())
            GTEST_SKIP() << "no xwd or netpbm to look at the dialog with: scripts/deps.sh qt";
        seen.push_back({shot.width, shot.height, tallestGlyph(shot)});
        ASSERT_NO_FATAL_FAILURE(taskkill());
    }
    ASSERT_EQ(seen.size(), 2u);
    for (const auto& [what, at100, at150] :
         {std::tuple{"width", seen[0].width, seen[1].width}, std::tuple{"height", seen[0].height, seen[1].height},
          std::tuple{"value glyph", seen[0].glyph, seen[1].glyph}}) {
        ASSERT_GT(at100, 0) << what;
        EXPECT_NEAR(static_cast<double>(at150) / at100, 1.5, 0.15) << what << ": " << at100 << " and " << at150;
    }
}

// F1 in the dialog opens the manual of the interface language in the HTML Help viewer.
TEST_F(WindowsProgram, F1OpensTheManualOfTheLanguage) {
    if (!helpFilesInstalled)
        GTEST_SKIP() << "no help files in " << environment("VALBRIX_HELP_FILES") << ": the linux build compiles them";
    struct Case {
        const char* language;
        const char* active;
        const char* manual;
    };
    const Case cases[] = {
        {"0", "control 1003: Programm aktiv.", "help window: Valbrix \x96 Handbuch"},
        {"1", "control 1003: Program active.", "help window: Valbrix \x96 User manual"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manual);
        ASSERT_NO_FATAL_FAILURE(startProgram(std::string("ComPort=5\r\nLanguage=") + c.language + "\r\n"));
        ASSERT_TRUE(receiver->shows(c.active));
        // A click on the status line, which takes no input, gives the dialog the keyboard.
        user.click(dialog, 1, 45);
        ASSERT_TRUE(user.waitForFocus(dialog, patienceMs)) << "the dialog does not have the keyboard";
        user.press({XK_F1});
        EXPECT_TRUE(receiver->shows(c.manual));
        ASSERT_NO_FATAL_FAILURE(taskkill());
    }
}

}  // namespace
}  // namespace valbrix
