#include "win32/html_help.h"

namespace valbrix {
namespace {

constexpr const char* helpControlKey = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr const char* helpControlFile = "hhctrl.ocx";
constexpr WORD htmlHelpOrdinal = 14;
constexpr UINT displayTopic = 0;  // HH_DISPLAY_TOPIC
constexpr UINT closeAll = 0x12;   // HH_CLOSE_ALL
constexpr DWORD placeLimit = MAX_PATH;

}  // namespace

std::string registeredHelpControl() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, helpControlKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    char value[placeLimit + 1] = {};
    DWORD type = 0;
    DWORD size = placeLimit;
    const LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    if (type == REG_SZ) return value;
    char expanded[placeLimit + 1] = {};
    const DWORD length = ExpandEnvironmentStringsA(value, expanded, placeLimit);
    return length == 0 || length > placeLimit ? std::string() : std::string(expanded);
}

HelpControl loadHelpControl(const std::string& registeredPlace) {
    HMODULE library = registeredPlace.empty() ? nullptr : LoadLibraryA(registeredPlace.c_str());
    if (library == nullptr) library = LoadLibraryA(helpControlFile);
    if (library == nullptr) return {};
    const auto function = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(htmlHelpOrdinal))));
    if (function == nullptr) {
        FreeLibrary(library);
        return {};
    }
    return {library, function};
}

HtmlHelp::HtmlHelp() : loader([] { return loadHelpControl(registeredHelpControl()); }) {}

// The viewer's windows go with the program; the library stays loaded until the process ends, as
// the control cannot be unloaded safely while it may still be tearing windows down.
HtmlHelp::~HtmlHelp() {
    if (control.htmlHelp != nullptr) control.htmlHelp(nullptr, nullptr, closeAll, 0);
}

void HtmlHelp::open(const std::string& path) {
    if (failed) return;
    if (control.htmlHelp == nullptr) {
        control = loader();
        if (control.htmlHelp == nullptr) {
            failed = true;
            return;
        }
    }
    control.htmlHelp(nullptr, path.c_str(), displayTopic, 0);
}

}  // namespace valbrix
