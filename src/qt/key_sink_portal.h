#pragma once
// Key events through the RemoteDesktop portal of xdg-desktop-portal (GNOME, KDE): a session with the
// keyboard alone, keys sent as Linux input codes, which the compositor reads with the user's layout.
// The user grants the session once in the desktop's own dialog; the restore token the portal hands
// back is kept in a file, so later starts do not ask again.

#include <QDBusConnection>
#include <QString>
#include <memory>
#include <string>

#include "export/key_event.h"
#include "export/xkb_keyboard.h"

namespace valbrix {

class PortalKeySink final : public KeySink {
public:
    struct Outcome {
        std::unique_ptr<PortalKeySink> sink;
        // The user said no in the portal's dialog, or the portal answered no or not in time: the
        // user was asked and has not agreed.
        bool refused = false;
        std::string why;       // when there is no sink
    };

    // Asks for the session and waits for the user's answer, at most answerTimeoutMs, running the
    // event loop of the calling thread meanwhile; a request left unanswered is withdrawn. tokenFile
    // holds the restore token between starts.
    static Outcome open(const QDBusConnection& bus, std::unique_ptr<XkbKeyboard> keyboard, const QString& tokenFile,
                        int answerTimeoutMs);
    // Closes the session.
    ~PortalKeySink() override;
    PortalKeySink(const PortalKeySink&) = delete;
    PortalKeySink& operator=(const PortalKeySink&) = delete;

    // The keys go out in order, without waiting for the portal; at the end whatever the list pressed
    // and left down is released.
    UntypedKeys deliver(const KeyEvents& events) override;

private:
    PortalKeySink(QDBusConnection bus, QString session, std::unique_ptr<XkbKeyboard> keyboard);
    void send(std::uint32_t code, bool down);

    QDBusConnection bus;
    const QString session;
    std::unique_ptr<XkbKeyboard> keyboard;
};

}  // namespace valbrix
