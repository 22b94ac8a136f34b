#include "win32/application.h"

#include <commctrl.h>

#include "app/shell.h"
#include "common/clock.h"
#include "export/key_sink_win32.h"
#include "serial/port_driver.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "win32/single_instance.h"
#include "win32/win32_dialog_host.h"

namespace valbrix {

void registerDialogClass(HINSTANCE instance) {
    WNDCLASSA dialogClass{};
    dialogClass.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
    dialogClass.lpfnWndProc = DefDlgProcA;
    dialogClass.cbWndExtra = DLGWINDOWEXTRA;
    dialogClass.hInstance = instance;
    dialogClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICO_PROGRAM));
    dialogClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    dialogClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    dialogClass.lpszClassName = mainDialogClass;
    RegisterClassA(&dialogClass);
}

int runApplication(HINSTANCE instance) {
    const InstanceClaim claim;
    if (!claim.first()) {
        wakeFirstInstance();
        return 0;
    }
    InitCommonControls();
    const HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(ACC_MAIN));
    registerDialogClass(instance);

    Win32KeySink keys;
    Win32DialogHost host(instance);
    Shell shell(ShellEnvironment{host, systemSettingsStore(), systemSettingsLocations(), systemPorts(),
                                 systemClock(), keys, host.typingHost(), true, systemJournalFiles(),
                                 systemWallClock()});
    host.attach(shell);
    if (const HWND dialog = host.createMainDialog()) {
        ShowWindow(dialog, SW_SHOW);
        UpdateWindow(dialog);
    }

    // The accelerators work in whichever of the program's windows is active; then the dialog's own
    // keys (Tab, Escape, Enter) for the main dialog.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        const HWND active = GetActiveWindow();
        if (active != nullptr && TranslateAcceleratorA(active, accelerators, &message)) continue;
        if (host.window() != nullptr && IsDialogMessageA(host.window(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace valbrix
