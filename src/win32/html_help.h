#pragma once
// The help viewer: HtmlHelpA of the HTML Help control, found where the system registered the
// control or else as "hhctrl.ocx", loaded on first use and kept for the rest of the run.

#include <windows.h>

#include <functional>
#include <string>

namespace valbrix {

using HtmlHelpFunction = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

struct HelpControl {
    HMODULE library = nullptr;
    HtmlHelpFunction htmlHelp = nullptr;  // export ordinal 14
};

// Where the system registered the HTML Help control (the default value of its CLSID's
// InprocServer32 key, environment variables expanded); empty when it is not registered.
std::string registeredHelpControl();

// The control from the registered place, else by its file name; both members null when neither
// loads or the library has no HtmlHelpA.
HelpControl loadHelpControl(const std::string& registeredPlace);

class HtmlHelp {
public:
    using Loader = std::function<HelpControl()>;
    HtmlHelp();
    explicit HtmlHelp(Loader loader) : loader(std::move(loader)) {}
    ~HtmlHelp();
    HtmlHelp(const HtmlHelp&) = delete;
    HtmlHelp& operator=(const HtmlHelp&) = delete;

    // Opens the file at its default topic. After the control could not be had once, help stays off
    // for the run, without a message; a missing file is reported by the viewer itself.
    void open(const std::string& path);
    bool unavailable() const { return failed; }

private:
    Loader loader;
    HelpControl control;
    bool failed = false;
};

}  // namespace valbrix
