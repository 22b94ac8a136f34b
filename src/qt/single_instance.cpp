#include "qt/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace valbrix {
namespace {

// The first program claims its place before it builds its window; it listens within this long.
constexpr int listenWaitMs = 10000;
constexpr int listenLookMs = 100;

// A socket's path must stay short (108 bytes), so the settings folder is named by a digest of it.
QString placeName(const std::string& configFolder) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(configFolder), QCryptographicHash::Sha1).toHex().left(16);
    // The session's runtime folder; without one (a bare X server) the temporary folder, where the
    // settings folder in the name keeps users apart.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
    return folder + "/valbrix-" + QString::fromLatin1(digest);
}

}  // namespace

InstanceClaim::InstanceClaim(const std::string& configFolder)
    : socketPath(placeName(configFolder) + ".socket"), lock(placeName(configFolder) + ".lock") {
    // A lock left by a program that is gone is taken over; one that cannot be made at all (no runtime
    // folder) does not keep the program from running.
    claimed = lock.tryLock(0) || lock.error() != QLockFile::LockFailedError;
}

bool InstanceClaim::wakeFirst() {
    for (int waited = 0; waited <= listenWaitMs; waited += listenLookMs) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(listenLookMs)) {
            socket.write("show\n");
            return socket.waitForBytesWritten(listenWaitMs);
        }
        QThread::msleep(listenLookMs);
    }
    return false;
}

void InstanceClaim::listen(std::function<void()> anotherStart) {
    // A socket left by a program that is gone would refuse the name.
    QLocalServer::removeServer(socketPath);
    server.setSocketOptions(QLocalServer::UserAccessOption);
    server.listen(socketPath);
    QObject::connect(&server, &QLocalServer::newConnection, &server, [this, anotherStart] {
        while (QLocalSocket* connection = server.nextPendingConnection()) {
            connection->disconnectFromServer();
            connection->deleteLater();
            anotherStart();
        }
    });
}

}  // namespace valbrix
