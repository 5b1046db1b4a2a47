#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace talmor {

// Receives the asynchronous notifications of one socket.
class SocketSink {
public:
    virtual ~SocketSink() = default;
    virtual void onReadable() = 0;
    virtual void onConnected(bool success) = 0;
    virtual void onWritable() = 0;
    virtual void onClosed() = 0;
};

// Receives incoming connections of a listening socket.
class ListenSink {
public:
    virtual ~ListenSink() = default;
    virtual void onIncoming(int listenHandle) = 0;
};

enum class SocketType { Datagram, Stream };

constexpr int kNoSocket = -1;

// The platform's sockets as the protocol core sees them. Addresses are IPv4 in host order.
// `net/` implements it on Qt's event loop; tests use an in-memory one.
class SocketLayer {
public:
    virtual ~SocketLayer() = default;
    virtual int createSocket(SocketType type, SocketSink* sink) = 0;
    // Datagram sockets: fixes the peer, sends nothing, true on success. Stream sockets: starts
    // a non-blocking connect whose outcome arrives as onConnected.
    virtual bool connectSocket(int handle, uint32_t address, uint16_t port) = 0;
    virtual uint32_t localAddress(int handle) const = 0;
    virtual uint16_t localPort(int handle) const = 0;
    // The address of the other end of a connected stream, 0 when there is none.
    virtual uint32_t remoteAddress(int handle) const = 0;
    // Bytes the socket took (may be fewer than asked on a stream), or -1 on error.
    virtual long sendBytes(int handle, const uint8_t* bytes, std::size_t size) = 0;
    // Bytes received (one datagram on a datagram socket), 0 when a stream was closed, -1 when
    // nothing is waiting, on error, or when the layer keeps the rest for a later notification.
    virtual long receiveBytes(int handle, uint8_t* buffer, std::size_t capacity) = 0;
    // Bytes a stream took and has not yet handed to the system, so that a sender of media can
    // drop a picture rather than queue without bound.
    virtual std::size_t unsentBytes(int handle) const = 0;
    // A stream socket listening on `address` (0: every local address) at an ephemeral port.
    virtual int listenSocket(ListenSink* sink, uint32_t address) = 0;
    virtual int acceptSocket(int listenHandle, SocketSink* sink) = 0;
    virtual void enableWrite(int handle) = 0;
    virtual void closeSocket(int handle) = 0;
    virtual void closeAllSockets() = 0;
};

// Parses a dotted IPv4 address; 0 when `text` is not one.
uint32_t parseDottedAddress(const std::string& text);

// Asynchronous host-name lookup; the answer is the first IPv4 address, or 0 on failure.
class HostResolver {
public:
    virtual ~HostResolver() = default;
    virtual void lookup(const std::string& host, std::function<void(uint32_t address)> done) = 0;
};

} // namespace talmor
