#pragma once
// The message boxes and dialog boxes of this process as a user meets them: each one that comes up is
// noted with its caption and handed to a reaction, on a thread of its own, while the test's
// user-interface thread sits in the box's modal loop.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace valbrix::testing {

class BoxWatcher {
public:
    using Reaction = std::function<void(HWND box, const std::string& caption)>;

    explicit BoxWatcher(Reaction react) : react(std::move(react)), thread([this] { watch(); }) {}
    ~BoxWatcher() {
        stopping = true;
        thread.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<std::string> captions() const {
        const std::lock_guard<std::mutex> lock(mutex);
        return seen;
    }

private:
    static BOOL CALLBACK collectBox(HWND window, LPARAM found) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(name, "#32770") == 0)
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    }

    void watch() {
        while (!stopping) {
            std::vector<HWND> boxes;
            EnumWindows(collectBox, reinterpret_cast<LPARAM>(&boxes));
            for (const HWND box : boxes) {
                if (!known.insert(box).second) continue;
                char caption[128] = {};
                GetWindowTextA(box, caption, sizeof caption);
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    seen.push_back(caption);
                }
                react(box, caption);
            }
            Sleep(20);
        }
    }

    Reaction react;
    std::atomic<bool> stopping{false};
    mutable std::mutex mutex;
    std::vector<std::string> seen;
    std::set<HWND> known;
    std::thread thread;
};

// Presses a button of a box, as the user would.
inline void pressButton(HWND box, int button) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

}  // namespace valbrix::testing
