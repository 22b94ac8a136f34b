// The message tables of the main dialog and the About box.
#include "win32/win32_dialog_host.h"

#include <dbt.h>

#include "app/shell.h"
#include "win32/single_instance.h"

namespace valbrix {
namespace {

bool isPortNotice(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    return header != nullptr && header->dbch_devicetype == DBT_DEVTYP_PORT;
}

// A dialog procedure answers with its result in DWLP_MSGRESULT for the messages that have one.
INT_PTR answer(HWND window, LRESULT result) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK Win32DialogHost::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* host = reinterpret_cast<Win32DialogHost*>(lParam);
        host->dialog = window;
        host->dpi = dpiOf(window);
        host->tray.attach(window);
        host->tray.setDpi(host->dpi);
        host->typing.watch(window);
        {
            const std::lock_guard<std::mutex> lock(host->postedLock);
            host->postTarget = window;
        }
    }
    auto* host = reinterpret_cast<Win32DialogHost*>(GetWindowLongPtrA(window, DWLP_USER));
    if (host == nullptr || host->shell == nullptr) return FALSE;
    return host->dispatch(window, message, wParam, lParam);
}

INT_PTR Win32DialogHost::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++handlerDepth;
    const INT_PTR result = handleMessage(window, message, wParam, lParam);
    if (--handlerDepth == 0 && endPending) {
        endPending = false;
        shell->terminate();
    }
    return result;
}

void Win32DialogHost::endFromOutside() {
    // A box or menu of the shell's is open: the shell closes it, opens no further one, and ends from
    // the main loop once the code that opened it has returned.
    if (shell->boxOpen()) {
        shell->terminate();
        return;
    }
    // Below this handler runs another of ours in a loop of its own, and the objects it works on must
    // outlive it: close what it waits on and end once it has returned.
    if (handlerDepth > 1) {
        endPending = true;
        closeOwnBoxes();
        return;
    }
    shell->terminate();
}

INT_PTR Win32DialogHost::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            shell->initMainDialog();
            return TRUE;
        case WM_COMMAND:
            shell->command(LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_SYSCOMMAND:
            // The close box and Alt+F4: the user's Exit, with the question when it is asked for. A plain
            // WM_CLOSE comes from another program.
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            shell->command(CommandCancel);
            return answer(window, 0);
        case WM_CLOSE:
            endFromOutside();
            return answer(window, 0);
        case WM_QUERYENDSESSION:
            // The session may end only after the program did: boxes of ours are closed now so that
            // WM_ENDSESSION finds nothing of ours waiting.
            if (handlerDepth > 1) closeOwnBoxes();
            return answer(window, TRUE);
        case WM_ENDSESSION:
            if (wParam != FALSE) endFromOutside();
            return answer(window, 0);
        case WM_ACTIVATE:
            // Hiding the dialog while the activation is still on its way to the other window can
            // leave no window active at all (wine does so), and the keys would go nowhere: the loss
            // of activation counts once it has happened.
            if (LOWORD(wParam) == WA_INACTIVE) PostMessageA(window, deactivatedMessage, 0, 0);
            else shell->activated(false, HIWORD(wParam) != 0);
            return FALSE;
        case deactivatedMessage:
            if (GetActiveWindow() != window) shell->activated(true, IsIconic(window) != FALSE);
            return FALSE;
        case trayMenuClosedMessage:
            giveForegroundBack();
            return FALSE;
        case WM_HELP:
            shell->helpRequested();
            return TRUE;
        case WM_CHAR:
        case WM_IME_KEYDOWN:
            shell->keyTyped();
            return FALSE;
        case WM_DEVICECHANGE:
            if (isPortNotice(wParam, lParam)) shell->portChanged(wParam == DBT_DEVICEARRIVAL);
            return answer(window, TRUE);
        case MSG_TRAY_CALLBACK:
            if (lParam == WM_LBUTTONUP) shell->trayClicked(TrayButton::Left);
            else if (lParam == WM_RBUTTONUP) shell->trayClicked(TrayButton::Right);
            return FALSE;
        case WM_DPICHANGED:
            // Left to the system as well, which rescales the dialog's template on Windows 10 1703 on.
            dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return FALSE;
        case WM_TIMER:
            if (wParam != trayRetryTimer) return FALSE;
            trayAgain();
            return TRUE;
        case WM_SIZE:
            // Minimised for want of a tray icon, the dialog is brought back from the taskbar: the
            // user's way out of the tray.
            if (wParam == SIZE_RESTORED && tray.wanted() && !tray.shown()) shell->trayClicked(TrayButton::Left);
            return FALSE;
        case workMessage:
            runPosted();
            return FALSE;
        case WM_WTSSESSION_CHANGE:
            typing.sessionChanged(wParam);
            return FALSE;
        case WM_DESTROY:
            typing.stopWatching();
            PostQuitMessage(0);
            return FALSE;
        default:
            if (message == taskbarCreated) trayAgain();
            else if (message == anotherStartMessage()) shell->anotherStart();
            return FALSE;
    }
}

// The box shows the shell's texts; the main dialog learns that the box takes the activation before
// it does, so that it stays on screen.
INT_PTR CALLBACK Win32DialogHost::aboutProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& context = *reinterpret_cast<const AboutContext*>(lParam);
            const AboutBox& box = *context.box;
            SetWindowTextA(window, box.caption);
            SetDlgItemTextA(window, CTL_ABOUT_PROGRAM_LINE, box.programLine);
            SetDlgItemTextA(window, CTL_ABOUT_ARTICLE_LINE, box.articleLine);
            SetDlgItemTextA(window, CTL_ABOUT_RIGHTS_LINE_1, box.rightsLine1);
            SetDlgItemTextA(window, CTL_ABOUT_RIGHTS_LINE_2, box.rightsLine2);
            SetDlgItemTextA(window, AboutOkButton, box.okButton);
            if (context.shell != nullptr) context.shell->aboutOpened();
            return TRUE;
        }
        case WM_CLOSE:
            EndDialog(window, 0);
            return TRUE;
        case WM_COMMAND:
            if (!endsAboutBox(LOWORD(wParam))) return FALSE;
            EndDialog(window, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace valbrix
