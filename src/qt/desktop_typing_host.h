#pragma once
// The Linux desktop's answers to the typing guard. Whether one of the program's windows or menus has the
// keyboard, Qt knows on the user-interface thread; whether the session is locked or active, logind says
// on the system bus (its session's LockedHint and Active, watched for changes); the keys held and Caps
// Lock, the X server tells on X11. Where logind is missing on X11, a running screen saver counts as a
// locked screen. A Wayland compositor tells a client nothing of the keyboard while the client has no
// focus, so there no key is known to be held and Caps Lock counts as off.

#include <QDBusConnection>
#include <QObject>
#include <atomic>
#include <memory>

#include "export/typing_guard.h"
#include "export/x11_desk.h"

class QWindow;

namespace valbrix {

class DesktopTypingHost final : public QObject, public TypingHost {
    Q_OBJECT
public:
    // On the user-interface thread, after the application object exists. x11 may be null (Wayland).
    DesktopTypingHost(const QDBusConnection& systemBus, std::unique_ptr<X11Desk> x11);
    ~DesktopTypingHost() override;

    DeskState deskState() override;
    // Whether logind's session was found; without it the lock is not known from there.
    bool watchesSession() const { return !sessionPath.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void sessionChanged(const QString& interfaceName, const QVariantMap& changed, const QStringList& invalidated);

private:
    void findSession();
    void readSession();
    void noteFocus();

    QDBusConnection bus;
    QString sessionPath;
    std::unique_ptr<X11Desk> x11;  // used by the export thread alone
    int popupsOpen = 0;
    std::atomic<bool> ownWindowActive{false};
    std::atomic<bool> locked{false};
    std::atomic<bool> inactive{false};
};

}  // namespace valbrix
