#include "support/fakes.h"

#include <algorithm>
#include <cstring>

namespace talmor::testing {

uint32_t FakeRandom::next() {
    if (queued.empty()) {
        return fallback;
    }
    const uint32_t value = queued.front();
    queued.pop_front();
    return value;
}

int MemorySockets::createSocket(SocketType type, SocketSink* sink) {
    const int handle = nextHandle++;
    Socket& socket = sockets[handle];
    socket.type = type;
    socket.sink = sink;
    return handle;
}

bool MemorySockets::connectSocket(int handle, uint32_t address, uint16_t port) {
    Socket* socket = find(handle);
    if (socket == nullptr || failConnect) {
        return false;
    }
    socket->peerAddress = address;
    socket->peerPort = port;
    socket->connected = true;
    return true;
}

uint16_t MemorySockets::localPort(int handle) const {
    return sockets.count(handle) != 0 ? static_cast<uint16_t>(40000 + handle) : 0;
}

uint32_t MemorySockets::remoteAddress(int handle) const {
    auto it = sockets.find(handle);
    return it == sockets.end() ? 0 : it->second.remoteAddress;
}

std::size_t MemorySockets::unsentBytes(int handle) const {
    auto it = sockets.find(handle);
    return it == sockets.end() ? 0 : it->second.unsent;
}

long MemorySockets::sendBytes(int handle, const uint8_t* bytes, std::size_t size) {
    Socket* socket = find(handle);
    if (socket == nullptr) {
        return -1;
    }
    const std::size_t taken = std::min(size, socket->takeLimit);
    if (taken > 0) {
        socket->sent.emplace_back(bytes, bytes + taken);
    }
    return static_cast<long>(taken);
}

long MemorySockets::receiveBytes(int handle, uint8_t* buffer, std::size_t capacity) {
    Socket* socket = find(handle);
    if (socket == nullptr) {
        return -1;
    }
    if (socket->inbox.empty()) {
        return socket->type == SocketType::Stream && socket->peerClosed ? 0 : -1;
    }
    if (socket->type == SocketType::Stream) {
        std::vector<uint8_t>& front = socket->inbox.front();
        const std::size_t count = std::min(capacity, front.size());
        std::memcpy(buffer, front.data(), count);
        front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(count));
        if (front.empty()) {
            socket->inbox.pop_front();
        }
        return static_cast<long>(count);
    }
    std::vector<uint8_t> datagram = std::move(socket->inbox.front());
    socket->inbox.pop_front();
    const std::size_t count = std::min(capacity, datagram.size());
    if (count > 0) {
        std::memcpy(buffer, datagram.data(), count);
    }
    return static_cast<long>(count);
}

int MemorySockets::listenSocket(ListenSink* sink, uint32_t address) {
    const int handle = nextHandle++;
    Socket& socket = sockets[handle];
    socket.type = SocketType::Stream;
    socket.listenSink = sink;
    socket.listenAddress = address;
    return handle;
}

int MemorySockets::acceptSocket(int listenHandle, SocketSink* sink) {
    if (find(listenHandle) == nullptr) {
        return kNoSocket;
    }
    const int handle = createSocket(SocketType::Stream, sink);
    sockets[handle].remoteAddress = acceptAddress;
    sockets[handle].connected = true;
    return handle;
}

void MemorySockets::enableWrite(int handle) {
    if (Socket* socket = find(handle)) {
        socket->writeEnabled = true;
    }
}

void MemorySockets::closeSocket(int handle) {
    auto it = sockets.find(handle);
    if (it != sockets.end() && beforeClose) {
        beforeClose(handle, it->second);
    }
    sockets.erase(handle);
}

void MemorySockets::deliver(int handle, const std::vector<uint8_t>& bytes) {
    Socket* socket = find(handle);
    if (socket == nullptr) {
        return;
    }
    socket->inbox.push_back(bytes);
    if (socket->sink != nullptr) {
        socket->sink->onReadable();
    }
}

MemorySockets::Socket* MemorySockets::find(int handle) {
    auto it = sockets.find(handle);
    return it == sockets.end() ? nullptr : &it->second;
}

TraceCapture::TraceCapture() {
    previous_ = setTraceSink([this](const std::string& line) { lines.push_back(line); });
}

TraceCapture::~TraceCapture() {
    setTraceSink(std::move(previous_));
}

} // namespace talmor::testing
