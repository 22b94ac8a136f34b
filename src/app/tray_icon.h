#pragma once
// Which of the six tray pictures and which tip show the state of transfer and identification.

#include "common/localized_text.h"

namespace valbrix {

enum TrayIconId {
    IconActiveIdentified = 401,   // green gauge with arrow
    IconStandbyIdentified = 402,  // green gauge
    IconUnused = 403,             // red gauge with grey arrow, kept for the resource numbering
    IconNoGauge = 404,            // red gauge
    IconActivePrinting = 405,     // yellow gauge with arrow: model group 2
    IconStandbyPrinting = 406,    // yellow gauge
};

struct TrayIconChoice {
    int icon;
    LocalizedText tip;
    bool becomesTrayTips;  // the tip pair a freshly added icon shows is set to this tip too
};

TrayIconChoice chooseTrayIcon(bool transferActive, int device, bool identified);

}  // namespace valbrix
