#pragma once
// Watches /dev and the per-user ports folder, and tells the shell each time a serial port arrives or
// is removed, as the device notices of Windows do.

#include <QFileSystemWatcher>
#include <QObject>
#include <functional>
#include <set>
#include <string>

namespace valbrix {

class PortWatcher final : public QObject {
public:
    // onChange(true) for every port that arrived, onChange(false) for every one removed.
    PortWatcher(std::string devFolder, std::string portsFolder, std::function<void(bool arrival)> onChange);

private:
    void look();

    const std::string devFolder;
    const std::string portsFolder;
    const std::function<void(bool)> onChange;
    std::set<std::string> present;
    QFileSystemWatcher watcher;
};

}  // namespace valbrix
