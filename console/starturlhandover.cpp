#include "console/starturlhandover.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include "console/gbktext.h"
#include "console/starturl.h"

namespace talmor {

namespace {

constexpr char kReceipt[] = "ok\n";

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
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(applicationFolder),
                                                       QCryptographicHash::Sha256);
    return "talmormanager-" + QString::fromLatin1(digest.toHex().left(24));
}

bool StartUrlHandover::handOver(const QString& name, const std::string& commandLine,
                                int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
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
