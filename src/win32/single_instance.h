#pragma once
// One Valbrix.exe per session: two would fight over the port and the tray, and the last to end would
// overwrite the other's settings. A second start wakes the first one and ends.

#include <windows.h>

namespace valbrix {

// The message the second start sends the first one's dialog: come out of the tray.
UINT anotherStartMessage();

class InstanceClaim {
public:
    // Claims the session's one place; false when another Valbrix.exe of this session holds it.
    InstanceClaim();
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    bool first() const { return claimed; }

private:
    HANDLE mutex = nullptr;
    bool claimed = true;
};

// Asks the Valbrix.exe that holds the claim to show its window, waiting a little for the window when
// that program is still starting; true when the request went out.
bool wakeFirstInstance();

}  // namespace valbrix
