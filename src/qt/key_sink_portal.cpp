#include "qt/key_sink_portal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QVariantMap>
#include <optional>
#include <utility>

namespace valbrix {
namespace {

const QString portalService = "org.freedesktop.portal.Desktop";
const QString portalPath = "/org/freedesktop/portal/desktop";
const QString remoteDesktop = "org.freedesktop.portal.RemoteDesktop";
constexpr std::uint32_t keyboardDevice = 1;
constexpr std::uint32_t persistUntilRevoked = 2;
constexpr std::uint32_t userCancelled = 1;

// One portal request: the call returns at once with a request object, and the answer comes later as
// that object's Response signal, once the user has decided.
class PortalRequest final : public QObject {
    Q_OBJECT
public:
    PortalRequest(const QDBusConnection& bus, const QString& token) : bus(bus) {
        // The path is known before the call, so the answer cannot come before we listen for it.
        QString sender = bus.baseService().mid(1);
        sender.replace('.', '_');
        listen("/org/freedesktop/portal/desktop/request/" + sender + "/" + token);
    }
    ~PortalRequest() override { bus.disconnect(QString(), path, "org.freedesktop.portal.Request", "Response", this,
                                               SLOT(answered(uint, QVariantMap))); }

    enum class Answer { Given, CallFailed, NotInTime };

    // The reason goes into why unless the answer is given.
    Answer ask(const QString& method, const QVariantList& arguments, int timeoutMs, std::string& why) {
        QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, remoteDesktop, method);
        call.setArguments(arguments);
        const QDBusMessage reply = bus.call(call);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            why = (method + ": " + reply.errorMessage()).toStdString();
            return Answer::CallFailed;
        }
        const QString handle = reply.arguments().first().value<QDBusObjectPath>().path();
        if (handle != path) listen(handle);  // portals before version 0.9 chose the path themselves
        if (!done) {
            QEventLoop loop;
            connect(this, &PortalRequest::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (done) return Answer::Given;
        // The desktop's dialog goes away, so that a late "yes" grants nothing.
        bus.call(QDBusMessage::createMethodCall(portalService, path, "org.freedesktop.portal.Request", "Close"));
        why = (method + ": the portal did not answer").toStdString();
        return Answer::NotInTime;
    }

    std::uint32_t response = 0;
    QVariantMap results;

Q_SIGNALS:
    void finished();

private Q_SLOTS:
    void answered(uint code, const QVariantMap& given) {
        response = code;
        results = given;
        done = true;
        Q_EMIT finished();
    }

private:
    void listen(const QString& requestPath) {
        if (!path.isEmpty())
            bus.disconnect(QString(), path, "org.freedesktop.portal.Request", "Response", this,
                           SLOT(answered(uint, QVariantMap)));
        path = requestPath;
        bus.connect(QString(), path, "org.freedesktop.portal.Request", "Response", this,
                    SLOT(answered(uint, QVariantMap)));
    }

    QDBusConnection bus;
    QString path;
    bool done = false;
};

void closeSession(const QDBusConnection& bus, const QString& session) {
    bus.call(QDBusMessage::createMethodCall(portalService, session, "org.freedesktop.portal.Session", "Close"));
}

// A session that is closed again unless it is handed on to the sink.
struct OpenSession {
    QDBusConnection bus;
    QString path;
    ~OpenSession() {
        if (!path.isEmpty()) closeSession(bus, path);
    }
    QString release() { return std::exchange(path, QString()); }
};

QString nextToken() {
    static int serial = 0;
    return QString("valbrix%1").arg(++serial);
}

QString readToken(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

void writeToken(const QString& fileName, const QString& token) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(token.toUtf8() + "\n");
}

}  // namespace

PortalKeySink::Outcome PortalKeySink::open(const QDBusConnection& bus, std::unique_ptr<XkbKeyboard> keyboard,
                                           const QString& tokenFile, int answerTimeoutMs) {
    Outcome outcome;
    if (!bus.isConnected()) {
        outcome.why = "no D-Bus session bus";
        return outcome;
    }
    // Each step is asked, answered and checked in turn; a "no" at any step ends the attempt.
    const auto step = [&](const QString& method, QVariantList arguments,
                          QVariantMap options) -> std::optional<QVariantMap> {
        const QString token = nextToken();
        options.insert("handle_token", token);
        arguments.append(options);
        PortalRequest request(bus, token);
        switch (request.ask(method, arguments, answerTimeoutMs, outcome.why)) {
            case PortalRequest::Answer::CallFailed:
                return std::nullopt;
            case PortalRequest::Answer::NotInTime:
                outcome.refused = true;
                return std::nullopt;
            case PortalRequest::Answer::Given:
                break;
        }
        if (request.response == 0) return request.results;
        outcome.refused = true;
        outcome.why = (method + (request.response == userCancelled ? ": the user refused" : ": the portal refused"))
                          .toStdString();
        return std::nullopt;
    };

    const std::optional<QVariantMap> created = step("CreateSession", {}, {{"session_handle_token", nextToken()}});
    if (!created) return outcome;
    OpenSession session{bus, created->value("session_handle").toString()};
    if (session.path.isEmpty()) {
        outcome.why = "CreateSession: no session handle";
        return outcome;
    }
    const QVariant sessionArgument = QVariant::fromValue(QDBusObjectPath(session.path));
    QVariantMap select{{"types", QVariant::fromValue(keyboardDevice)},
                       {"persist_mode", QVariant::fromValue(persistUntilRevoked)}};
    if (const QString token = readToken(tokenFile); !token.isEmpty()) select.insert("restore_token", token);
    if (!step("SelectDevices", {sessionArgument}, select)) return outcome;
    const std::optional<QVariantMap> started = step("Start", {sessionArgument, QString()}, {});
    if (!started) return outcome;
    if ((started->value("devices").toUInt() & keyboardDevice) == 0) {
        outcome.why = "Start: the portal granted no keyboard";
        return outcome;
    }
    if (const QString token = started->value("restore_token").toString(); !token.isEmpty()) writeToken(tokenFile, token);
    outcome.sink.reset(new PortalKeySink(bus, session.release(), std::move(keyboard)));
    return outcome;
}

PortalKeySink::PortalKeySink(QDBusConnection bus, QString session, std::unique_ptr<XkbKeyboard> keyboard)
    : bus(std::move(bus)), session(std::move(session)), keyboard(std::move(keyboard)) {}

PortalKeySink::~PortalKeySink() { closeSession(bus, session); }

void PortalKeySink::send(std::uint32_t code, bool down) {
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, remoteDesktop, "NotifyKeyboardKeycode");
    call.setArguments({QVariant::fromValue(QDBusObjectPath(session)), QVariantMap{}, static_cast<int>(code),
                       static_cast<uint>(down ? 1 : 0)});
    bus.send(call);
}

UntypedKeys PortalKeySink::deliver(const KeyEvents& events) {
    return sendAsKeys(events, *keyboard, [this](std::uint32_t code, bool down) {
        // The compositor stamps each key as the portal hands it over.
        if (pressRepeatsRelease(code, down)) pauseBeforeRepeatedPress();
        send(code, down);
        pauseAfterKey();
    });
}

}  // namespace valbrix

#include "key_sink_portal.moc"
