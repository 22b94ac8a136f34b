#pragma once
// Which of the six tray pictures and which tip show the state of transfer and identification.

#include "app/resource_ids.h"
#include "common/localized_text.h"

namespace valbrix {

struct TrayIconChoice {
    int icon;
    LocalizedText tip;
    bool becomesTrayTips;  // the tip pair a freshly added icon shows is set to this tip too
};

TrayIconChoice chooseTrayIcon(bool transferActive, int device, bool identified);

}  // namespace valbrix
