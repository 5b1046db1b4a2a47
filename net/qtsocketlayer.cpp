#include "net/qtsocketlayer.h"

#include <QTimer>

#include <algorithm>
#include <chrono>

#include "protocol/peersession.h"

namespace talmor {

namespace {
// A stream reports itself writable again once its send buffer drains below this, so a peer
// session that writes on every notification cannot grow the buffer without bound.
constexpr std::size_t kWriteLowWater = kPeerSocketBacklog;
// The server answers a burst of requests (one per contact at login) with a burst; a bigger
// receive buffer holds it until the event loop reads it.
constexpr int kDatagramReceiveBuffer = 4 * 1024 * 1024;
// How long a closed stream may take to hand its unsent bytes to the system.
constexpr int kLingerMs = 5000;
// How long one notification may hand datagrams to a sink. A storm of calls would otherwise hold
// the event loop, and every window, for its whole length. A third of a frame at 60 Hz leaves
// room for the repainting and the lists' work between slices within the frame; it costs a storm
// about a tenth more time than slices of 20 ms did.
constexpr int64_t kReadSliceNs = 6'000'000;

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
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

std::unique_ptr<StreamSocket> QtSocketLayer::newStream(int handle) {
    // Each notification looks the handle up again: the sink may have closed it meanwhile.
    StreamSocket::Events events;
    events.connected = [this, handle](bool success) {
        if (Entry* entry = find(handle)) {
            entry->sink->onConnected(success);
        }
    };
    events.readable = [this, handle] { notifyReadable(handle); };
    events.sent = [this, handle] { notifyWritable(handle); };
    events.ended = [this, handle] {
        if (Entry* entry = find(handle)) {
            entry->sink->onClosed();
        }
    };
    return std::make_unique<StreamSocket>(std::move(events));
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
    const int handle = add(std::move(entry));
    entries_.at(handle).stream = newStream(handle);
    return handle;
}

bool QtSocketLayer::connectSocket(int handle, uint32_t address, uint16_t port) {
    Entry* entry = find(handle);
    if (entry != nullptr && entry->datagram) {
        // A datagram connect completes at once; it only fixes the peer.
        return entry->datagram->connect(address, port, kDatagramReceiveBuffer);
    }
    return entry != nullptr && entry->stream && entry->stream->connect(address, port);
}

uint32_t QtSocketLayer::localAddress(int handle) const {
    const Entry* entry = find(handle);
    if (entry == nullptr) {
        return 0;
    }
    if (entry->datagram) {
        return entry->datagram->localAddress();
    }
    if (entry->stream) {
        return entry->stream->localAddress();
    }
    return entry->listener ? entry->listener->localAddress() : 0;
}

uint16_t QtSocketLayer::localPort(int handle) const {
    const Entry* entry = find(handle);
    if (entry == nullptr) {
        return 0;
    }
    if (entry->datagram) {
        return entry->datagram->localPort();
    }
    if (entry->stream) {
        return entry->stream->localPort();
    }
    return entry->listener ? entry->listener->localPort() : 0;
}

uint32_t QtSocketLayer::remoteAddress(int handle) const {
    const Entry* entry = find(handle);
    return entry != nullptr && entry->stream ? entry->stream->remoteAddress() : 0;
}

std::size_t QtSocketLayer::unsentBytes(int handle) const {
    const Entry* entry = find(handle);
    return entry != nullptr && entry->stream ? entry->stream->unsent() : 0;
}

long QtSocketLayer::sendBytes(int handle, const uint8_t* bytes, std::size_t size) {
    Entry* entry = find(handle);
    if (entry != nullptr && entry->datagram) {
        return entry->datagram->send(bytes, size);
    }
    return entry != nullptr && entry->stream ? entry->stream->send(bytes, size) : -1;
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
    return entry != nullptr && entry->stream ? entry->stream->receive(buffer, capacity) : -1;
}

int QtSocketLayer::listenSocket(ListenSink* sink, uint32_t address) {
    Entry entry;
    entry.type = SocketType::Stream;
    entry.listenSink = sink;
    const int handle = add(std::move(entry));
    auto listener = std::make_unique<StreamListener>([this, handle] {
        if (Entry* found = find(handle)) {
            found->listenSink->onIncoming(handle);
        }
    });
    if (!listener->listen(address)) {
        entries_.erase(handle);
        return kNoSocket;
    }
    entries_.at(handle).listener = std::move(listener);
    return handle;
}

int QtSocketLayer::acceptSocket(int listenHandle, SocketSink* sink) {
    Entry* listener = find(listenHandle);
    const int fd =
        listener != nullptr && listener->listener ? listener->listener->takeIncoming() : -1;
    if (fd < 0) {
        return kNoSocket;
    }
    Entry entry;
    entry.type = SocketType::Stream;
    entry.sink = sink;
    const int handle = add(std::move(entry));
    Entry& accepted = entries_.at(handle);
    accepted.stream = newStream(handle);
    // Bytes that came with the connection are reported on the next turn, as any others.
    accepted.stream->adopt(fd);
    return handle;
}

void QtSocketLayer::enableWrite(int handle) {
    Entry* entry = find(handle);
    if (entry == nullptr || (!entry->stream && !entry->datagram)) {
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
    const bool ready = entry->datagram ? entry->datagram->isOpen()
                                       : entry->stream && entry->stream->isConnected() &&
                                             entry->stream->unsent() < kWriteLowWater;
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

void QtSocketLayer::retire(Entry& entry) {
    if (!entry.stream && !entry.listener) {
        return;
    }
    if (entry.stream) {
        entry.stream->closeWhenSent(kLingerMs);
        closedStreams_.push_back(std::move(entry.stream));
    }
    if (entry.listener) {
        entry.listener->close();
        closedListeners_.push_back(std::move(entry.listener));
    }
    QTimer::singleShot(0, &owner_, [this] { sweep(); });
}

void QtSocketLayer::sweep() {
    closedStreams_.erase(std::remove_if(closedStreams_.begin(), closedStreams_.end(),
                                        [](const std::unique_ptr<StreamSocket>& stream) {
                                            return stream->isClosed() && !stream->notifying();
                                        }),
                         closedStreams_.end());
    closedListeners_.erase(std::remove_if(closedListeners_.begin(), closedListeners_.end(),
                                          [](const std::unique_ptr<StreamListener>& listener) {
                                              return !listener->notifying();
                                          }),
                           closedListeners_.end());
}

void QtSocketLayer::closeSocket(int handle) {
    auto found = entries_.find(handle);
    if (found == entries_.end()) {
        return;
    }
    Entry entry = std::move(found->second);
    entries_.erase(found);
    retire(entry);
}

void QtSocketLayer::closeAllSockets() {
    while (!entries_.empty()) {
        closeSocket(entries_.begin()->first);
    }
}

} // namespace talmor
