#pragma once
// The pixel density a window is drawn at. Sizes in the program's resources and code are made for 96
// dots per inch; on today's displays at 125 or 150 % the program draws everything itself at the
// window's density instead of having the system stretch a 96-dpi picture. The calls that know a
// window's own density came with Windows 10; on Windows 7 and 8 the screen's density stands in.

#include <windows.h>

namespace valbrix {

// The density that sizes in the resources and code are made for.
inline constexpr UINT normalDpi = USER_DEFAULT_SCREEN_DPI;

// The density the window is drawn at; the screen's when the system cannot tell a window's own.
UINT dpiOf(HWND window);

// A size made for 96 dpi, at the given density.
inline int atDpi(int size, UINT dpi) { return MulDiv(size, static_cast<int>(dpi), static_cast<int>(normalDpi)); }

// The picture size the notification area draws at that density (SM_CXSMICON).
int smallIconSize(UINT dpi);

// Calls a function of user32 or comctl32 that older Windows versions lack; null where it is missing.
// The modules are loaded already (the program links them), so nothing is loaded here.
template <typename Function>
Function newerFunction(const char* module, const char* name) {
    const HMODULE loaded = GetModuleHandleA(module);
    const FARPROC found = loaded == nullptr ? nullptr : GetProcAddress(loaded, name);
    // void (*)() converts to every function pointer type without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace valbrix
