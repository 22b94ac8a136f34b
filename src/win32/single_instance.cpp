#include "win32/single_instance.h"

#include "win32/application.h"

namespace valbrix {
namespace {

// In the session's namespace: another user logged on to the same PC runs a Valbrix of their own.
constexpr const char* instanceMutexName = "Local\\Oden_Malvert.Valbrix.Instance";
// The first program claims its place before it builds its window; it has one within this long.
constexpr int windowWaitMs = 10000;
constexpr int windowLookMs = 100;

}  // namespace

UINT anotherStartMessage() {
    static const UINT message = RegisterWindowMessageA("Oden_Malvert.Valbrix.AnotherStart");
    return message;
}

InstanceClaim::InstanceClaim() : mutex(CreateMutexA(nullptr, FALSE, instanceMutexName)) {
    // Without a mutex at all the program rather runs than refuses to.
    claimed = mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

InstanceClaim::~InstanceClaim() {
    if (mutex != nullptr) CloseHandle(mutex);
}

bool wakeFirstInstance() {
    for (int waited = 0; waited <= windowWaitMs; waited += windowLookMs) {
        if (const HWND first = FindWindowA(mainDialogClass, nullptr)) {
            // The program the user just started may bring a window to the front; it hands that on.
            DWORD process = 0;
            GetWindowThreadProcessId(first, &process);
            AllowSetForegroundWindow(process);
            return PostMessageA(first, anotherStartMessage(), 0, 0) != FALSE;
        }
        Sleep(windowLookMs);
    }
    return false;
}

}  // namespace valbrix
