#include "qt/port_watcher.h"

#include <QDir>

#include "serial/port_presence.h"

namespace valbrix {

PortWatcher::PortWatcher(std::string devFolder, std::string portsFolder, std::function<void(bool)> onChange)
    : devFolder(std::move(devFolder)),
      portsFolder(std::move(portsFolder)),
      onChange(std::move(onChange)),
      present(serialDevicesPresent(this->devFolder, this->portsFolder)) {
    // The ports folder may not exist yet; then only /dev is watched until the next start.
    for (const std::string& folder : {this->devFolder, this->portsFolder})
        if (QDir(QString::fromStdString(folder)).exists()) watcher.addPath(QString::fromStdString(folder));
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, this, [this] { look(); });
}

void PortWatcher::look() {
    std::set<std::string> now = serialDevicesPresent(devFolder, portsFolder);
    const PortChanges changes = comparePortSets(present, now);
    present = std::move(now);
    for (int i = 0; i < changes.arrived; ++i) onChange(true);
    for (int i = 0; i < changes.removed; ++i) onChange(false);
}

}  // namespace valbrix
