#pragma once
// One valbrix per session and settings folder: two would fight over the port and the tray, and the
// last to end would overwrite the other's settings. A second start wakes the first one and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>
#include <string>

namespace valbrix {

class InstanceClaim {
public:
    // Claims the place of the program that uses the settings in configFolder, in the session's runtime
    // folder.
    explicit InstanceClaim(const std::string& configFolder);
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    // False when another valbrix holds the place.
    bool first() const { return claimed; }
    // Asks the valbrix that holds the place to show its window, waiting a little for it when that
    // program is still starting; true when the request went out.
    bool wakeFirst();
    // Calls anotherStart on the user-interface thread whenever the program is started again.
    void listen(std::function<void()> anotherStart);

private:
    QString socketPath;
    QLockFile lock;
    bool claimed;
    QLocalServer server;
};

}  // namespace valbrix
