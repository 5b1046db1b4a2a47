#include "support/peerlink.h"

#include "protocol/records.h"

namespace talmor::testing {

PeerConsole::PeerConsole(uint32_t operatorId, uint32_t localAddress)
    : id(operatorId), address(localAddress), peers(h.listener, h.sockets, h.clock, h.timers) {
    h.sockets.localAddressValue = localAddress;
    h.listener.setPeerSessions(&peers);
    h.login();
    h.listener.own().operatorId = operatorId;
}

void PeerConsole::knows(const PeerConsole& other, bool reachable) {
    if (h.listener.contacts().find(other.id) == nullptr) {
        ContactRecord record;
        record.id = other.id;
        h.listener.contacts().add(record);
    }
    h.listener.storePresence(other.id, kStatusOnline, reachable ? other.address : 0, 4000,
                             other.messagePort(), other.address);
}

uint16_t PeerConsole::messagePort() const {
    const PeerSession* listener = peers.findSession(kMessageKind, 0);
    return listener != nullptr && listener->isListener()
               ? h.sockets.localPort(listener->socketHandle())
               : 0;
}

int PeerConsole::newestStream() const {
    int newest = kNoSocket;
    for (const auto& [handle, socket] : h.sockets.sockets) {
        if (socket.type == SocketType::Stream && socket.sink != nullptr) {
            newest = handle;
        }
    }
    return newest;
}

PeerLink::PeerLink(PeerConsole& a, PeerConsole& b) : a_(a), b_(b) {
    for (PeerConsole* console : {&a_, &b_}) {
        console->h.sockets.beforeClose = [this, console](int handle,
                                                         const MemorySockets::Socket& socket) {
            noteClose(*console, handle, socket);
        };
    }
}

PeerLink::~PeerLink() {
    a_.h.sockets.beforeClose = nullptr;
    b_.h.sockets.beforeClose = nullptr;
}

void PeerLink::noteClose(PeerConsole& console, int handle, const MemorySockets::Socket& socket) {
    for (Connection& connection : connections_) {
        for (End& end : connection.ends) {
            if (end.console == &console && end.handle == handle && !end.closed) {
                for (std::size_t i = end.moved; i < socket.sent.size(); ++i) {
                    end.unread.insert(end.unread.end(), socket.sent[i].begin(),
                                      socket.sent[i].end());
                }
                end.moved = socket.sent.size();
                end.closed = true;
            }
        }
    }
}

bool PeerLink::connectWaiting(PeerConsole& from, PeerConsole& to) {
    std::vector<int> waiting;
    for (const auto& [handle, socket] : from.h.sockets.sockets) {
        if (socket.type == SocketType::Stream && socket.peerPort != 0 &&
            !settled_.count({&from, handle})) {
            waiting.push_back(handle);
        }
    }
    for (int handle : waiting) {
        settled_[{&from, handle}] = true;
        MemorySockets::Socket* socket = from.h.sockets.find(handle);
        if (socket == nullptr) {
            continue;
        }
        int listening = kNoSocket;
        for (const auto& [candidate, entry] : to.h.sockets.sockets) {
            if (entry.listenSink != nullptr && socket->peerAddress == to.address &&
                to.h.sockets.localPort(candidate) == socket->peerPort) {
                listening = candidate;
            }
        }
        SocketSink* sink = socket->sink;
        if (listening == kNoSocket) {
            sink->onConnected(false);
            continue;
        }
        to.h.sockets.acceptAddress = from.address;
        const int before = to.h.sockets.nextHandle;
        to.h.sockets.find(listening)->listenSink->onIncoming(listening);
        if (to.h.sockets.nextHandle == before) {
            sink->onConnected(false);
            continue;
        }
        Connection connection;
        connection.ends[0].console = &from;
        connection.ends[0].handle = handle;
        connection.ends[1].console = &to;
        connection.ends[1].handle = before;
        connections_.push_back(connection);
        sink->onConnected(true);
    }
    return !waiting.empty();
}

bool PeerLink::carry(End& from, End& to) {
    std::vector<uint8_t> bytes;
    if (MemorySockets::Socket* socket = from.console->h.sockets.find(from.handle)) {
        if (socket->writeEnabled) {
            socket->writeEnabled = false;
            socket->sink->onWritable();
            socket = from.console->h.sockets.find(from.handle);
        }
        if (socket != nullptr) {
            for (; from.moved < socket->sent.size(); ++from.moved) {
                bytes.insert(bytes.end(), socket->sent[from.moved].begin(),
                             socket->sent[from.moved].end());
            }
        }
    }
    bytes.insert(bytes.end(), from.unread.begin(), from.unread.end());
    from.unread.clear();
    MemorySockets& target = to.console->h.sockets;
    bool moved = false;
    if (!bytes.empty() && target.find(to.handle) != nullptr) {
        target.deliver(to.handle, bytes);
        moved = true;
    }
    if (from.closed && !from.closeSeen) {
        from.closeSeen = true;
        if (MemorySockets::Socket* socket = target.find(to.handle)) {
            socket->peerClosed = true;
            socket->sink->onClosed();
        }
        moved = true;
    }
    return moved;
}

void PeerLink::pump() {
    for (int round = 0; round < 100000; ++round) {
        bool moved = connectWaiting(a_, b_);
        moved = connectWaiting(b_, a_) || moved;
        for (std::size_t i = 0; i < connections_.size(); ++i) {
            moved = carry(connections_[i].ends[0], connections_[i].ends[1]) || moved;
            moved = carry(connections_[i].ends[1], connections_[i].ends[0]) || moved;
        }
        if (!moved) {
            return;
        }
    }
}

} // namespace talmor::testing
