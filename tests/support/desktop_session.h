#pragma once
// A desktop session of the test's own for the programs it starts, with a keyboard layout: a headless
// sway (Wayland) or a virtual X server. sway refuses to run as root, so when the test runs as root the
// session and the programs in it run as the unprivileged user 65534, as a desktop user would.
//
// The session's settings go into the test's environment (WAYLAND_DISPLAY or DISPLAY, QT_QPA_PLATFORM),
// so that every program the test starts afterwards runs in it.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "export/key_sink_wayland.h"

namespace valbrix::testing {

constexpr uid_t sessionUser = 65534;

// The command line that runs `command` as the session's user.
inline std::vector<std::string> asSessionUser(std::vector<std::string> command) {
    if (geteuid() != 0) return command;
    std::vector<std::string> line = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    line.insert(line.end(), command.begin(), command.end());
    return line;
}

// Files and folders the session's programs write to or open.
inline void handToSessionUser(const std::filesystem::path& path) {
    if (geteuid() != 0) return;
    chown(path.c_str(), sessionUser, sessionUser);
    if (!std::filesystem::is_directory(path)) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        lchown(entry.path().c_str(), sessionUser, sessionUser);
}

class DesktopSession {
public:
    virtual ~DesktopSession() = default;
    virtual bool ready() const = 0;
    // Gives the keyboard focus to the window with this title, as a click into it would.
    virtual bool focus(const std::string& title) = 0;
};

// sway on its headless back end. Its configuration names the layout, but sway gives that only to real
// keyboards, and a headless compositor has none: a virtual keyboard with the layout stands in for the
// user's keyboard on the seat, and its keymap is the one the compositor hands to every program.
class SwaySession final : public DesktopSession {
public:
    explicit SwaySession(const std::string& layout) {
        char pattern[] = "/tmp/valbrix-sway-XXXXXX";
        runtime = mkdtemp(pattern);
        if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) previousRuntime = previous;
        std::ofstream(runtime + "/config") << "xwayland disable\ninput type:keyboard xkb_layout " << layout << "\n";
        chmod(runtime.c_str(), 0700);
        handToSessionUser(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("WLR_BACKENDS", "headless", 1);
        setenv("WLR_RENDERER", "pixman", 1);
        setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SWAYSOCK");  // sway would put its own socket there
        compositor = std::make_unique<ChildProcess>(asSessionUser({"sway", "-c", runtime + "/config"}));
        const std::optional<std::string> socket = pollFor(20000, [this] { return entryStartingWith("wayland-", ".lock"); });
        const std::optional<std::string> ipc = pollFor(20000, [this] { return entryStartingWith("sway-ipc.", ""); });
        if (!socket || !ipc) return;
        setenv("WAYLAND_DISPLAY", socket->c_str(), 1);
        setenv("SWAYSOCK", (runtime + "/" + *ipc).c_str(), 1);
        std::string why;
        userKeyboard = WaylandKeySink::open(XkbKeyboard::fromNames(KeyboardNames{"", layout, "", ""}), why);
    }
    // The programs started later must not find the folder named, or Qt would make it again.
    ~SwaySession() override {
        userKeyboard.reset();
        compositor.reset();
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
        for (const char* name : {"WAYLAND_DISPLAY", "SWAYSOCK"}) unsetenv(name);
        if (previousRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
        else setenv("XDG_RUNTIME_DIR", previousRuntime.c_str(), 1);
    }

    bool ready() const override { return userKeyboard != nullptr; }

    // Returns once the window has the focus: a loaded machine may take a while to get there.
    bool focus(const std::string& title) override {
        return swaymsg("[title=\"" + title + "\"] focus") &&
               pollFor(10000, [&] { return swaymsg("[title=\"" + title + "\" con_id=__focused__] nop"); });
    }

private:
    // True when sway carried the command out; a command whose criteria match no window fails.
    static bool swaymsg(const std::string& command) {
        ChildProcess run(asSessionUser({"swaymsg", command}));
        const std::optional<int> status = run.waitForExit(10000);
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }

    // The name of an entry of the runtime folder that starts with `prefix` and does not end with
    // `notEnding`; none while there is none.
    std::optional<std::string> entryStartingWith(const std::string& prefix, const std::string& notEnding) const {
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(runtime.c_str()), closedir);
        while (const dirent* entry = dir ? readdir(dir.get()) : nullptr) {
            const std::string name = entry->d_name;
            if (name.starts_with(prefix) && (notEnding.empty() || !name.ends_with(notEnding))) return name;
        }
        return std::nullopt;
    }

    std::string runtime;
    std::string previousRuntime;
    std::unique_ptr<ChildProcess> compositor;
    std::unique_ptr<WaylandKeySink> userKeyboard;
};

// A virtual X server with the layout set by setxkbmap; it must not reset when its last client goes,
// or the layout would go with it. It has no window manager: a window takes the keyboard focus itself.
class XvfbSession final : public DesktopSession {
public:
    explicit XvfbSession(const std::string& layout) {
        server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        const std::optional<std::string> display = server->waitForLine("", 20000);
        if (!display) return;
        setenv("DISPLAY", (":" + *display).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("WAYLAND_DISPLAY");
        started = std::system(("setxkbmap " + layout).c_str()) == 0;
    }

    bool ready() const override { return started; }
    bool focus(const std::string&) override { return true; }

private:
    std::unique_ptr<ChildProcess> server;
    bool started = false;
};

}  // namespace valbrix::testing
