#include "app/tray_icon.h"

#include "gauge/catalogue.h"

namespace valbrix {

TrayIconChoice chooseTrayIcon(bool transferActive, int device, bool identified) {
    if (device != modelGroup1Device)
        return {transferActive ? IconActivePrinting : IconStandbyPrinting, text::trayActive, true};
    if (!identified) return {IconNoGauge, text::connectDevice, false};
    if (transferActive) return {IconActiveIdentified, text::trayActive, true};
    return {IconStandbyIdentified, text::standby, false};
}

}  // namespace valbrix
