#include "net/qtsocketlayer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

#include "protocol/peersession.h"

namespace talmor {

namespace {
// A stream reports itself writable again once its send buffer drains below this, so a peer
// session that writes on every notification cannot grow the buffer without bound.
constexpr qint64 kWriteLowWater = kPeerSocketBacklog;
// The server answers a burst of requests (one per contact at login) with a burst; a bigger
// receive buffer holds it until the event loop reads it.
constexpr int kDatagramReceiveBuffer = 4 * 1024 * 1024;
// How long a closed stream may take to hand its unsent bytes to the system.
constexpr int kLingerMs = 5000;
// How long one notification may hand datagrams to a sink. A storm of calls would otherwise hold
// the event loop, and every window, for its whole length; a slice this long still keeps the
// repainting between slices cheap beside the reading.
constexpr int64_t kReadSliceNs = 20'000'000;

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A closed stream still sends what it holds; a datagram socket goes at once.
void dispose(QAbstractSocket* socket) {
    socket->disconnect();
    if (socket->socketType() != QAbstractSocket::TcpSocket ||
        socket->state() != QAbstractSocket::ConnectedState || socket->bytesToWrite() == 0) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kLingerMs, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}
} // namespace

QtSocketLayer::QtSocketLayer() = default;

QtSocketLayer::~QtSocketLayer() {
    closeAllSockets();
}

int QtSocketLayer::add(Entry entry) {
    const int handle = nextHandle_++;
    entries_.emplace(handle, std::move(entry));
    return handle;
}

QtSocketLayer::Entry* QtSocketLayer::find(int handle) {
    auto found = entries_.find(handle);
    return found == entries_.end() ? nullptr : &found->second;
}

const QtSocketLayer::Entry* QtSocketLayer::find(int handle) const {
    auto found = entries_.find(handle);
    return found == entries_.end() ? nullptr : &found->second;
}

void QtSocketLayer::watch(int handle, QAbstractSocket* socket) {
    // Each notification looks the handle up again: the sink may have closed it meanwhile.
    QObject::connect(socket, &QIODevice::readyRead, socket,
                     [this, handle] { notifyReadable(handle); });
    QObject::connect(socket, &QAbstractSocket::connected, socket, [this, handle] {
        if (Entry* entry = find(handle)) {
            entry->sink->onConnected(true);
        }
    });
    QObject::connect(socket, &QAbstractSocket::errorOccurred, socket, [this, handle] {
        Entry* entry = find(handle);
        if (entry != nullptr && entry->socket &&
            entry->socket->state() != QAbstractSocket::ConnectedState &&
            entry->socket->state() != QAbstractSocket::ClosingState) {
            // An error before the connection was made is the outcome of the connect.
            entry->sink->onConnected(false);
        }
    });
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, [this, handle] {
        if (Entry* entry = find(handle)) {
            entry->sink->onClosed();
        }
    });
    QObject::connect(socket, &QIODevice::bytesWritten, socket,
                     [this, handle] { notifyWritable(handle); });
}

int QtSocketLayer::createSocket(SocketType type, SocketSink* sink) {
    Entry entry;
    entry.type = type;
    entry.sink = sink;
    if (type == SocketType::Datagram) {
        const int handle = add(std::move(entry));
        entries_.at(handle).datagram =
            std::make_unique<DatagramSocket>([this, handle] { notifyReadable(handle); });
        return handle;
    }
    entry.socket = new QTcpSocket(&owner_);
    QAbstractSocket* socket = entry.socket;
    const int handle = add(std::move(entry));
    watch(handle, socket);
    return handle;
}

bool QtSocketLayer::connectSocket(int handle, uint32_t address, uint16_t port) {
    Entry* entry = find(handle);
    if (entry != nullptr && entry->datagram) {
        // A datagram connect completes at once; it only fixes the peer.
        return entry->datagram->connect(address, port, kDatagramReceiveBuffer);
    }
    if (entry == nullptr || !entry->socket) {
        return false;
    }
    QAbstractSocket* socket = entry->socket;
    if (socket->state() != QAbstractSocket::UnconnectedState) {
        socket->abort();
    }
    socket->connectToHost(QHostAddress(address), port);
    return socket->state() != QAbstractSocket::UnconnectedState;
}

uint32_t QtSocketLayer::localAddress(int handle) const {
    const Entry* entry = find(handle);
    if (entry == nullptr) {
        return 0;
    }
    if (entry->datagram) {
        return entry->datagram->localAddress();
    }
    if (entry->socket) {
        return entry->socket->localAddress().toIPv4Address();
    }
    return entry->server ? entry->server->serverAddress().toIPv4Address() : 0;
}

uint16_t QtSocketLayer::localPort(int handle) const {
    const Entry* entry = find(handle);
    if (entry == nullptr) {
        return 0;
    }
    if (entry->datagram) {
        return entry->datagram->localPort();
    }
    if (entry->socket) {
        return entry->socket->localPort();
    }
    return entry->server ? entry->server->serverPort() : 0;
}

uint32_t QtSocketLayer::remoteAddress(int handle) const {
    const Entry* entry = find(handle);
    return entry != nullptr && entry->socket ? entry->socket->peerAddress().toIPv4Address() : 0;
}

std::size_t QtSocketLayer::unsentBytes(int handle) const {
    const Entry* entry = find(handle);
    return entry != nullptr && entry->socket
               ? static_cast<std::size_t>(entry->socket->bytesToWrite())
               : 0;
}

long QtSocketLayer::sendBytes(int handle, const uint8_t* bytes, std::size_t size) {
    Entry* entry = find(handle);
    if (entry != nullptr && entry->datagram) {
        return entry->datagram->send(bytes, size);
    }
    if (entry == nullptr || !entry->socket ||
        entry->socket->state() != QAbstractSocket::ConnectedState) {
        return -1;
    }
    const qint64 written =
        entry->socket->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(size));
    // Handed to the system now rather than on the event loop's next turn: a stop-and-wait
    // peer (a file chunk and its answer) would otherwise wait a turn for every packet.
    entry->socket->flush();
    return static_cast<long>(written);
}

long QtSocketLayer::receiveBytes(int handle, uint8_t* buffer, std::size_t capacity) {
    Entry* entry = find(handle);
    if (entry != nullptr && entry->datagram) {
        // Past its slice a notification takes no more; the rest is reported on the next turn.
        if (entry->sliceEndNs != 0 && SteadyNs() > entry->sliceEndNs) {
            return -1;
        }
        return entry->datagram->receive(buffer, capacity);
    }
    if (entry == nullptr || !entry->socket) {
        return -1;
    }
    char* out = reinterpret_cast<char*>(buffer);
    const auto limit = static_cast<qint64>(capacity);
    QAbstractSocket* stream = entry->socket;
    if (stream->bytesAvailable() > 0) {
        return static_cast<long>(stream->read(out, limit));
    }
    return stream->state() == QAbstractSocket::ConnectedState ? -1 : 0;
}

int QtSocketLayer::listenSocket(ListenSink* sink, uint32_t address) {
    auto* server = new QTcpServer(&owner_);
    const QHostAddress bindTo =
        address == 0 ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(address);
    if (!server->listen(bindTo, 0)) {
        delete server;
        return kNoSocket;
    }
    Entry entry;
    entry.type = SocketType::Stream;
    entry.server = server;
    const int handle = add(std::move(entry));
    QObject::connect(server, &QTcpServer::newConnection, server, [this, handle, sink] {
        if (find(handle) != nullptr) {
            sink->onIncoming(handle);
        }
    });
    return handle;
}

int QtSocketLayer::acceptSocket(int listenHandle, SocketSink* sink) {
    Entry* listener = find(listenHandle);
    if (listener == nullptr || !listener->server || !listener->server->hasPendingConnections()) {
        return kNoSocket;
    }
    QTcpSocket* socket = listener->server->nextPendingConnection();
    socket->setParent(&owner_);
    Entry entry;
    entry.type = SocketType::Stream;
    entry.socket = socket;
    entry.sink = sink;
    const int handle = add(std::move(entry));
    watch(handle, socket);
    if (socket->bytesAvailable() > 0) {
        // Bytes that came with the connection would otherwise wait for the next arrival.
        QTimer::singleShot(0, socket, [this, handle] { notifyReadable(handle); });
    }
    return handle;
}

void QtSocketLayer::enableWrite(int handle) {
    Entry* entry = find(handle);
    if (entry == nullptr || (!entry->socket && !entry->datagram)) {
        return;
    }
    entry->wantWrite = true;
    // Delivered from the event loop, never from inside the caller.
    QTimer::singleShot(0, &owner_, [this, handle] { notifyWritable(handle); });
}

void QtSocketLayer::notifyWritable(int handle) {
    Entry* entry = find(handle);
    if (entry == nullptr || !entry->wantWrite) {
        return;
    }
    // A datagram socket never holds a backlog of its own: a full system buffer drops the
    // datagram, which the reliable channel sends again.
    const bool ready = entry->datagram
                           ? entry->datagram->isOpen()
                           : entry->socket &&
                                 entry->socket->state() == QAbstractSocket::ConnectedState &&
                                 entry->socket->bytesToWrite() < kWriteLowWater;
    if (!ready) {
        return;
    }
    entry->wantWrite = false;
    entry->sink->onWritable();
}

void QtSocketLayer::notifyReadable(int handle) {
    Entry* entry = find(handle);
    if (entry == nullptr) {
        return;
    }
    if (!entry->datagram) {
        entry->sink->onReadable();
        // Bytes the sink left are not announced again by the stream itself.
        Entry* after = find(handle);
        if (after != nullptr && after->socket && after->socket->bytesAvailable() > 0) {
            QTimer::singleShot(0, after->socket, [this, handle] { notifyReadable(handle); });
        }
        return;
    }
    entry->datagram->setNotifying(false);
    entry->sliceEndNs = SteadyNs() + kReadSliceNs;
    entry->sink->onReadable();
    // The sink may have closed the socket, or opened a new one, meanwhile.
    if (Entry* after = find(handle); after != nullptr && after->datagram) {
        after->sliceEndNs = 0;
        after->datagram->setNotifying(true);
    }
}

void QtSocketLayer::closeSocket(int handle) {
    auto found = entries_.find(handle);
    if (found == entries_.end()) {
        return;
    }
    Entry entry = std::move(found->second);
    entries_.erase(found);
    if (entry.socket) {
        dispose(entry.socket);
    }
    if (entry.server) {
        entry.server->disconnect();
        entry.server->close();
        entry.server->deleteLater();
    }
}

void QtSocketLayer::closeAllSockets() {
    while (!entries_.empty()) {
        closeSocket(entries_.begin()->first);
    }
}

} // namespace talmor
