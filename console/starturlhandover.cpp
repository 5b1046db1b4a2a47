#include "console/starturlhandover.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "console/starturl.h"
#include "kit/gbktext.h"

namespace talmor {

namespace {

constexpr char kReceipt[] = "ok\n";

// A folder of this user's that no one else may enter.
bool PrivateFolder(const char* path) {
    struct stat folder {};
    return path != nullptr && path[0] == '/' && ::stat(path, &folder) == 0 &&
           S_ISDIR(folder.st_mode) && folder.st_uid == ::geteuid() && (folder.st_mode & 077) == 0;
}

// The other end of a connected local socket runs as this user.
bool SameUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return descriptor >= 0 &&
           ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
}

} // namespace

StartUrlReading ReadStartUrl(const std::string& localCommandLine) {
    const QString text = QString::fromLocal8Bit(localCommandLine.c_str());
    const std::optional<std::string> gbk = ToGbk(text);
    StartUrlReading reading;
    const StartUrlProblem problem = gbk ? CheckStartUrl(*gbk) : StartUrlProblem::NotGbk;
    if (problem == StartUrlProblem::None) {
        reading.gbk = *gbk;
    } else {
        reading.refusal = QString::fromUtf8(StartUrlProblemText(problem));
    }
    return reading;
}

QString StartUrlHandover::ServerName(const std::string& applicationFolder) {
    return ServerName(applicationFolder, std::getenv("XDG_RUNTIME_DIR"));
}

QString StartUrlHandover::ServerName(const std::string& applicationFolder,
                                     const char* runtimeFolder) {
    if (!PrivateFolder(runtimeFolder)) {
        // The operator's own folder: its console's lock lies there as well.
        return QString::fromStdString(applicationFolder) + "talmormanager.handover";
    }
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(applicationFolder),
                                                       QCryptographicHash::Sha256);
    return QString::fromLocal8Bit(runtimeFolder) + "/talmormanager-" +
           QString::fromLatin1(digest.toHex().left(24));
}

bool StartUrlHandover::handOver(const QString& name, const std::string& commandLine,
                                int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs) || !SameUser(socket.socketDescriptor())) {
        return false;
    }
    socket.write(QByteArray::fromStdString(commandLine) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (socket.bytesAvailable() < static_cast<qint64>(sizeof kReceipt - 1)) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return socket.readAll() == kReceipt;
}

bool StartUrlHandover::listen(const QString& name, Receiver receive) {
    receive_ = std::move(receive);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a console that died would keep the name taken; this process holds the
    // folder's lock, so no other console listens there.
    QLocalServer::removeServer(name);
    connect(server_, &QLocalServer::newConnection, this, &StartUrlHandover::accept);
    return server_->listen(name);
}

void StartUrlHandover::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!SameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxBytes) {
                    socket->abort(); // no line end within the limit: not one of ours
                }
                return;
            }
            QByteArray line = socket->readLine(kMaxBytes);
            if (line.endsWith('\n')) {
                line.chop(1);
            }
            socket->write(kReceipt);
            socket->disconnectFromServer();
            receive_(line.toStdString());
        });
    }
}

} // namespace talmor
