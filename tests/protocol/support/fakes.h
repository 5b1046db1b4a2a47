#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "protocol/environment.h"
#include "protocol/socketlayer.h"
#include "protocol/trace.h"

namespace talmor::testing {

class FakeClock : public Clock {
public:
    int64_t now() const override { return now_; }
    void advance(int64_t seconds) { now_ += seconds; }
    void set(int64_t seconds) { now_ = seconds; }

private:
    int64_t now_ = 1000000;
};

// Returns the queued values first, then a fixed value.
class FakeRandom : public Random {
public:
    uint32_t next() override;
    void seed(uint32_t value) override { seeded = value; }
    std::deque<uint32_t> queued;
    uint32_t fallback = 0;
    uint32_t seeded = 0;
};

class FakeTimers : public TimerHost {
public:
    void startTimer(int id, int milliseconds) override { running[id] = milliseconds; }
    void stopTimer(int id) override { running.erase(id); }
    bool isRunning(int id) const { return running.count(id) != 0; }
    std::map<int, int> running;
};

// An in-memory socket layer: records what is sent and delivers what a test pushes. A datagram
// socket hands out one pushed datagram per receive; a stream hands out pushed bytes as a
// stream, at most what the caller has room for.
class MemorySockets : public SocketLayer {
public:
    struct Socket {
        SocketType type = SocketType::Datagram;
        SocketSink* sink = nullptr;
        ListenSink* listenSink = nullptr;
        uint32_t peerAddress = 0;
        uint16_t peerPort = 0;
        uint32_t listenAddress = 0;
        uint32_t remoteAddress = 0;
        bool connected = false;
        bool writeEnabled = false;
        bool peerClosed = false;          // a stream: once the inbox is read, receive says closed
        std::size_t takeLimit = SIZE_MAX; // a stream takes at most this many bytes per send
        std::size_t unsent = 0;           // what unsentBytes reports
        std::vector<std::vector<uint8_t>> sent;
        std::deque<std::vector<uint8_t>> inbox;
    };

    int createSocket(SocketType type, SocketSink* sink) override;
    bool connectSocket(int handle, uint32_t address, uint16_t port) override;
    uint32_t localAddress(int) const override { return localAddressValue; }
    uint16_t localPort(int handle) const override;
    uint32_t remoteAddress(int handle) const override;
    std::size_t unsentBytes(int handle) const override;
    long sendBytes(int handle, const uint8_t* bytes, std::size_t size) override;
    long receiveBytes(int handle, uint8_t* buffer, std::size_t capacity) override;
    int listenSocket(ListenSink* sink, uint32_t address) override;
    int acceptSocket(int listenHandle, SocketSink* sink) override;
    void enableWrite(int handle) override;
    void closeSocket(int handle) override;
    void closeAllSockets() override { sockets.clear(); }

    // Queues a datagram for `handle` and tells its sink.
    void deliver(int handle, const std::vector<uint8_t>& bytes);
    Socket* find(int handle);

    std::map<int, Socket> sockets;
    int nextHandle = 3;
    uint32_t localAddressValue = 0x7F000001;
    bool failConnect = false;
    // The remote address of the next accepted stream.
    uint32_t acceptAddress = 0x7F000001;
    // Told of a socket just before it is closed (a test link reads what it still sent).
    std::function<void(int, const Socket&)> beforeClose;
};

// Captures trace lines while alive.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;
    std::vector<std::string> lines;

private:
    TraceSink previous_;
};

} // namespace talmor::testing
