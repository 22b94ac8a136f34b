#include "tray_pictures.h"

#include <QPixmap>
#include <set>
#include <stdexcept>

#include "app/tray_icon.h"
#include "gauge/gauge_models.h"
#include "qt/gauge_icons.h"

namespace valbrix::manual {

void writeTrayPictures(const std::filesystem::path& folder) {
    constexpr int sizePixels = 32;
    std::set<int> shown;
    for (const bool transferActive : {false, true})
        for (const int device : {modelGroup1Device, modelGroup2Device})
            for (const bool identified : {false, true}) shown.insert(chooseTrayIcon(transferActive, device, identified).icon);
    std::filesystem::create_directories(folder);
    for (const int icon : shown) {
        const std::filesystem::path file = folder / ("tray-" + std::to_string(icon) + ".png");
        if (!gaugeIcon(icon).pixmap(sizePixels, sizePixels).save(QString::fromStdString(file.string()), "PNG"))
            throw std::runtime_error("cannot write " + file.string());
    }
}

}  // namespace valbrix::manual
