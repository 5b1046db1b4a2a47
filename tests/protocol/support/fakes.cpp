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

long MemorySockets::sendBytes(int handle, const uint8_t* bytes, std::size_t size) {
    Socket* socket = find(handle);
    if (socket == nullptr) {
        return -1;
    }
    socket->sent.emplace_back(bytes, bytes + size);
    return static_cast<long>(size);
}

long MemorySockets::receiveBytes(int handle, uint8_t* buffer, std::size_t capacity) {
    Socket* socket = find(handle);
    if (socket == nullptr || socket->inbox.empty()) {
        return -1;
    }
    std::vector<uint8_t> datagram = std::move(socket->inbox.front());
    socket->inbox.pop_front();
    const std::size_t count = std::min(capacity, datagram.size());
    if (count > 0) {
        std::memcpy(buffer, datagram.data(), count);
    }
    return static_cast<long>(count);
}

int MemorySockets::listenSocket(ListenSink* sink) {
    const int handle = nextHandle++;
    Socket& socket = sockets[handle];
    socket.type = SocketType::Stream;
    socket.listenSink = sink;
    return handle;
}

int MemorySockets::acceptSocket(int listenHandle, SocketSink* sink) {
    if (find(listenHandle) == nullptr) {
        return kNoSocket;
    }
    return createSocket(SocketType::Stream, sink);
}

void MemorySockets::enableWrite(int handle) {
    if (Socket* socket = find(handle)) {
        socket->writeEnabled = true;
    }
}

void MemorySockets::closeSocket(int handle) {
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
