#include "qt/desktop_typing_host.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <unistd.h>

namespace valbrix {
namespace {

const QString login1 = "org.freedesktop.login1";
const QString managerPath = "/org/freedesktop/login1";
const QString managerInterface = "org.freedesktop.login1.Manager";
const QString sessionInterface = "org.freedesktop.login1.Session";
const QString propertiesInterface = "org.freedesktop.DBus.Properties";

bool isPopup(QObject* object) {
    const auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr && widget->isWindow() && widget->windowType() == Qt::Popup;
}

}  // namespace

DesktopTypingHost::DesktopTypingHost(const QDBusConnection& systemBus, std::unique_ptr<X11Desk> x11)
    : bus(systemBus), x11(std::move(x11)) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow*) { noteFocus(); });
    // A menu takes the keyboard with a grab and does not become the focus window everywhere.
    qApp->installEventFilter(this);
    findSession();
}

DesktopTypingHost::~DesktopTypingHost() { qApp->removeEventFilter(this); }

DeskState DesktopTypingHost::deskState() {
    DeskState desk;
    desk.ownWindowActive = ownWindowActive.load();
    desk.sessionLocked = locked.load();
    desk.sessionInactive = inactive.load();
    if (x11) {
        if (!watchesSession()) desk.sessionLocked = x11->screenSaverOn();
        desk.heldKeys = x11->heldKeys();
        desk.capsLock = x11->capsLock();
    }
    return desk;
}

bool DesktopTypingHost::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && isPopup(watched)) {
        popupsOpen = std::max(0, popupsOpen + (event->type() == QEvent::Show ? 1 : -1));
        noteFocus();
    }
    return QObject::eventFilter(watched, event);
}

void DesktopTypingHost::noteFocus() {
    ownWindowActive.store(QGuiApplication::focusWindow() != nullptr || popupsOpen > 0);
}

// The session the program runs in: the one logind names for XDG_SESSION_ID, else the one of its process.
void DesktopTypingHost::findSession() {
    if (!bus.isConnected()) return;
    const QByteArray id = qgetenv("XDG_SESSION_ID");
    QDBusMessage call = id.isEmpty()
                            ? QDBusMessage::createMethodCall(login1, managerPath, managerInterface, "GetSessionByPID")
                            : QDBusMessage::createMethodCall(login1, managerPath, managerInterface, "GetSession");
    if (id.isEmpty()) call << static_cast<uint>(getpid());
    else call << QString::fromLocal8Bit(id);
    const QDBusMessage reply = bus.call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
    sessionPath = reply.arguments().first().value<QDBusObjectPath>().path();
    if (sessionPath.isEmpty()) return;
    bus.connect(login1, sessionPath, propertiesInterface, "PropertiesChanged", this,
                SLOT(sessionChanged(QString, QVariantMap, QStringList)));
    readSession();
}

void DesktopTypingHost::readSession() {
    QDBusMessage call = QDBusMessage::createMethodCall(login1, sessionPath, propertiesInterface, "GetAll");
    call << sessionInterface;
    const QDBusMessage reply = bus.call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
    const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().first());
    sessionChanged(sessionInterface, properties, {});
}

// logind sends the new values along, or names them as changed without them; then they are read anew.
void DesktopTypingHost::sessionChanged(const QString& interfaceName, const QVariantMap& changed,
                                       const QStringList& invalidated) {
    if (interfaceName != sessionInterface) return;
    if (changed.contains("LockedHint")) locked.store(changed.value("LockedHint").toBool());
    if (changed.contains("Active")) inactive.store(!changed.value("Active").toBool());
    if (invalidated.contains("LockedHint") || invalidated.contains("Active")) readSession();
}

}  // namespace valbrix
