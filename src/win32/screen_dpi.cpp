#include "win32/screen_dpi.h"

namespace valbrix {

UINT dpiOf(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = newerFunction<DpiForWindow>("user32.dll", "GetDpiForWindow");
    if (dpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = dpiForWindow(window); dpi != 0) return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen == nullptr ? 0 : GetDeviceCaps(screen, LOGPIXELSY);
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : normalDpi;
}

// Before Windows 10 the metrics are the screen's, and so is every window's density.
int smallIconSize(UINT dpi) {
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi = newerFunction<MetricsForDpi>("user32.dll", "GetSystemMetricsForDpi");
    if (metricsForDpi != nullptr) {
        if (const int size = metricsForDpi(SM_CXSMICON, dpi); size > 0) return size;
    }
    return GetSystemMetrics(SM_CXSMICON);
}

}  // namespace valbrix
