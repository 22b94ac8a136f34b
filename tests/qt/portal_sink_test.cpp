// The RemoteDesktop portal sink against a stand-in portal of the test's own on a private session bus:
// the calls it makes, the restore token it keeps and hands back, a refusal by the user, and the ways of
// typing on Wayland ending at a refusal before the uinput keyboard.
#include "qt/key_sink_portal.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QThread>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"
#include "deadline.h"
#include "export/keystroke_emitter.h"
#include "qt/session_key_sinks.h"
#include "qt_application.h"
#include "recording_uinput_file.h"
#include "temp_folder.h"

namespace valbrix {
namespace {

using testing::ensureApplication;

// The portal as xdg-desktop-portal answers: each request returns its handle at once and the answer
// follows as that handle's Response signal. It runs on a thread of its own, as a separate process would.
class StandInPortal final : public QDBusVirtualObject {
public:
    struct Call {
        QString member;
        QVariantMap options;
    };

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString member = message.member();
        const QVariantList arguments = message.arguments();
        std::unique_lock<std::mutex> hold(lock);
        if (member == "NotifyKeyboardKeycode") {
            keys.emplace_back(arguments.value(2).toInt(), arguments.value(3).toUInt());
            return connection.send(message.createReply());
        }
        if (member == "Close") {
            closed.push_back(message.path());
            return connection.send(message.createReply());
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.last().value<QDBusArgument>());
        calls.push_back(Call{member, options});
        QString sender = message.service().mid(1);
        sender.replace('.', '_');
        const QString request = "/org/freedesktop/portal/desktop/request/" + sender + "/" +
                                options.value("handle_token").toString();
        const QString session = "/org/freedesktop/portal/desktop/session/" + sender + "/" +
                                options.value("session_handle_token").toString();
        uint response = 0;
        QVariantMap results;
        if (member == "CreateSession") {
            results.insert("session_handle", session);
        } else if (member == "Start") {
            if (!startAnswered) return connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            response = startAnswer;
            if (response == 0) {
                results.insert("devices", QVariant::fromValue(uint(1)));
                results.insert("restore_token", QString("token-%1").arg(++tokensGiven));
            }
        }
        hold.unlock();
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage answer =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        answer << response << results;
        return connection.send(answer);
    }

    std::mutex lock;
    uint startAnswer = 0;        // 0 the user allows, 1 the user says no, 2 the dialog ended otherwise
    bool startAnswered = true;  // false: the dialog stays open and the user never answers
    int tokensGiven = 0;
    std::vector<Call> calls;
    std::vector<std::pair<int, uint>> keys;
    std::vector<QString> closed;
};

class PortalKeySinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(daemon.started()) << "dbus-daemon is missing: scripts/deps.sh wayland";
        const std::optional<std::string> address = daemon.waitForLine("unix:", 10000);
        ASSERT_TRUE(address) << "dbus-daemon gave no address";
        const QString bus = QString::fromStdString(*address);
        portalBus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus, "stand-in portal"));
        ASSERT_TRUE(portalBus->isConnected());
        // Registered before it moves, so that what QtDBus hangs on it moves along.
        ASSERT_TRUE(portalBus->registerVirtualObject("/org/freedesktop/portal/desktop", &portal,
                                                     QDBusConnection::SubPath));
        portalThread.start();
        portal.moveToThread(&portalThread);
        ASSERT_TRUE(portalBus->registerService("org.freedesktop.portal.Desktop"));
        programBus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus, "valbrix"));
        ASSERT_TRUE(programBus->isConnected());
    }
    void TearDown() override {
        programBus.reset();
        QDBusConnection::disconnectFromBus("valbrix");
        portalBus->unregisterObject("/org/freedesktop/portal/desktop", QDBusConnection::UnregisterTree);
        portalBus.reset();
        QDBusConnection::disconnectFromBus("stand-in portal");
        portalThread.quit();
        portalThread.wait();
    }

    PortalKeySink::Outcome open() {
        return PortalKeySink::open(*programBus, XkbKeyboard::fromNames(KeyboardNames{"", "de", "", ""}),
                                   QString::fromStdString(tokenFile), 10000);
    }

    std::vector<QString> members() {
        const std::lock_guard<std::mutex> hold(portal.lock);
        std::vector<QString> names;
        for (const StandInPortal::Call& call : portal.calls) names.push_back(call.member);
        return names;
    }

    testing::ChildProcess daemon{{"dbus-daemon", "--session", "--nofork", "--print-address"}};
    StandInPortal portal;
    QThread portalThread;
    std::unique_ptr<QDBusConnection> portalBus;
    std::unique_ptr<QDBusConnection> programBus;
    testing::TempFolder folder;
    const std::string tokenFile = folder.path("remote-desktop.token");
};

TEST_F(PortalKeySinkTest, AKeyboardSessionIsAskedForAndTheKeysGoAsInputCodes) {
    PortalKeySink::Outcome outcome = open();
    ASSERT_NE(outcome.sink, nullptr) << outcome.why;
    EXPECT_EQ(members(), (std::vector<QString>{"CreateSession", "SelectDevices", "Start"}));
    {
        const std::lock_guard<std::mutex> hold(portal.lock);
        const QVariantMap& select = portal.calls.at(1).options;
        EXPECT_EQ(select.value("types").toUInt(), 1u);         // the keyboard alone
        EXPECT_EQ(select.value("persist_mode").toUInt(), 2u);  // until the user revokes it
        EXPECT_FALSE(select.contains("restore_token"));
    }

    KeyEvents events;
    typeText(events, "-5 \xB5", 1);
    sendSequence(events, "ENTER");
    outcome.sink->deliver(events);
    const std::vector<std::pair<int, uint>> expected = {
        {KEY_SLASH, 1}, {KEY_SLASH, 0}, {KEY_5, 1}, {KEY_5, 0}, {KEY_SPACE, 1}, {KEY_SPACE, 0},
        {84, 1},        {KEY_M, 1},     {KEY_M, 0}, {84, 0},    {KEY_ENTER, 1}, {KEY_ENTER, 0}};
    const bool allThere = testing::pollFor(10000, [this, &expected] {
        const std::lock_guard<std::mutex> hold(portal.lock);
        return portal.keys.size() >= expected.size();
    });
    ASSERT_TRUE(allThere);
    {
        const std::lock_guard<std::mutex> hold(portal.lock);
        EXPECT_EQ(portal.keys, expected);
    }

    outcome.sink.reset();
    const std::lock_guard<std::mutex> hold(portal.lock);
    ASSERT_EQ(portal.closed.size(), 1u);
    EXPECT_TRUE(portal.closed[0].startsWith("/org/freedesktop/portal/desktop/session/")) << portal.closed[0].toStdString();
}

TEST_F(PortalKeySinkTest, TheRestoreTokenIsKeptAndHandedBackAtTheNextStart) {
    ASSERT_NE(open().sink, nullptr);
    EXPECT_EQ(testing::readFile(tokenFile), "token-1\n");
    ASSERT_NE(open().sink, nullptr);
    const std::lock_guard<std::mutex> hold(portal.lock);
    ASSERT_EQ(portal.calls.size(), 6u);
    EXPECT_EQ(portal.calls[4].options.value("restore_token").toString(), "token-1");
    EXPECT_EQ(testing::readFile(tokenFile), "token-2\n");
}

TEST_F(PortalKeySinkTest, ARefusalByTheUserGivesNoSinkAndClosesTheSession) {
    {
        const std::lock_guard<std::mutex> hold(portal.lock);
        portal.startAnswer = 1;
    }
    const PortalKeySink::Outcome outcome = open();
    EXPECT_EQ(outcome.sink, nullptr);
    EXPECT_TRUE(outcome.refused);
    EXPECT_EQ(outcome.why, "Start: the user refused");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(tokenFile)));
    const std::lock_guard<std::mutex> hold(portal.lock);
    EXPECT_EQ(portal.closed.size(), 1u);
}

// Asked on Wayland without a compositor's virtual keyboard, the portal comes next; the uinput keyboard
// after it is opened only where the portal is not there at all, never where the user was asked and did
// not agree.
TEST_F(PortalKeySinkTest, OnWaylandARefusedOrUnansweredRequestEndsTheSearchBeforeUinput) {
    struct Case {
        const char* label;
        std::optional<uint> startAnswer;  // none: the dialog is never answered
        bool portalThere;
        int answerMs;
        const char* chosen;  // nullptr: none
        const char* lastRefusal;
        bool refusedByUser;
        int uinputOpens;
    };
    const Case cases[] = {
        {"allowed", 0u, true, 10000, "remote desktop portal", "", false, 0},
        {"refused", 1u, true, 10000, nullptr, "remote desktop portal: Start: the user refused", true, 0},
        {"ended otherwise", 2u, true, 10000, nullptr, "remote desktop portal: Start: the portal refused", true, 0},
        {"unanswered", std::nullopt, true, 300, nullptr, "remote desktop portal: Start: the portal did not answer",
         true, 0},
        {"no portal", 0u, false, 10000, "uinput", "remote desktop portal: no D-Bus session bus", false, 1},
    };
    // No compositor: the virtual keyboard cannot be had.
    qputenv("WAYLAND_DISPLAY", QByteArray::fromStdString(folder.path("no-compositor")));
    for (const Case& c : cases) {
        {
            const std::lock_guard<std::mutex> hold(portal.lock);
            portal.startAnswer = c.startAnswer.value_or(0);
            portal.startAnswered = c.startAnswer.has_value();
            portal.closed.clear();
        }
        testing::RecordingUinputFile::Record uinput;
        const WaylandTypingReach reach{
            c.portalThere ? *programBus : QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere"),
            QString::fromStdString(tokenFile), c.answerMs,
            [&uinput](std::string&) { return testing::RecordingUinputFile::open(uinput); }};
        const SessionKeySink typing = openSessionKeySink(DesktopSession::Wayland, reach);

        EXPECT_EQ(uinput.opens, c.uinputOpens) << c.label;
        EXPECT_EQ(typing.chosen.refusedByUser, c.refusedByUser) << c.label;
        if (c.chosen == nullptr) {
            EXPECT_EQ(typing.chosen.sink, nullptr) << c.label;
        } else {
            EXPECT_NE(typing.chosen.sink, nullptr) << c.label;
            EXPECT_EQ(typing.chosen.name, c.chosen) << c.label;
        }
        ASSERT_FALSE(typing.chosen.refusals.empty()) << c.label;
        EXPECT_EQ(typing.chosen.refusals.front().rfind("wayland virtual keyboard: ", 0), 0u) << c.label;
        if (*c.lastRefusal != '\0') {
            EXPECT_EQ(typing.chosen.refusals.back(), c.lastRefusal) << c.label;
        }
        const LocalizedText& status = c.refusedByUser ? text::typingRefused : text::noTyping;
        EXPECT_STREQ(typing.status.english, status.english) << c.label;
        EXPECT_STREQ(typing.advice.english,
                     (c.refusedByUser ? text::typingRefusedNotice : text::noTypingWayland).english)
            << c.label;
        if (!c.startAnswer) {
            // The unanswered request is withdrawn, so that the dialog goes away, and the session closed.
            const std::lock_guard<std::mutex> hold(portal.lock);
            ASSERT_EQ(portal.closed.size(), 2u);
            EXPECT_TRUE(portal.closed[0].startsWith("/org/freedesktop/portal/desktop/request/"))
                << portal.closed[0].toStdString();
            EXPECT_TRUE(portal.closed[1].startsWith("/org/freedesktop/portal/desktop/session/"))
                << portal.closed[1].toStdString();
        }
    }
    QDBusConnection::disconnectFromBus("nowhere");
    qunsetenv("WAYLAND_DISPLAY");
}

TEST(PortalKeySink, NoBusGivesNoSink) {
    ensureApplication();
    const PortalKeySink::Outcome outcome =
        PortalKeySink::open(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere"),
                            XkbKeyboard::fromNames({}), "/nonexistent/token", 1000);
    EXPECT_EQ(outcome.sink, nullptr);
    EXPECT_FALSE(outcome.refused);
    EXPECT_FALSE(outcome.why.empty());
}

}  // namespace
}  // namespace valbrix
