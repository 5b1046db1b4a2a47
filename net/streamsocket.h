#pragma once

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class QSocketNotifier;

namespace talmor {

// A non-blocking stream socket of the system on Qt's event loop. Reading is level-triggered:
// bytes a reader leaves are reported again on the next turn. Bytes the system cannot take at
// once wait here and leave as it takes them. Writing and reading go straight to the system:
// a stop-and-wait peer (a file chunk and its answer) costs one turn of the loop per packet and
// no more, where Qt's stream armed and disarmed a notification around every write and asked
// the system how much waits before every read.
class StreamSocket {
public:
    struct Events {
        std::function<void(bool)> connected; // the outcome of connect(), from the event loop
        std::function<void()> readable;
        std::function<void()> sent;  // some of the waiting bytes left
        std::function<void()> ended; // the peer closed or the connection broke
    };

    explicit StreamSocket(Events events);
    ~StreamSocket();
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    // Starts connecting to the peer (host order); false when the system refuses at once.
    bool connect(uint32_t address, uint16_t port);
    // Takes over a connection a listener accepted.
    void adopt(int fd);
    bool isConnected() const { return connected_ && !ended_; }
    uint32_t localAddress() const;
    uint16_t localPort() const;
    uint32_t remoteAddress() const;

    // Takes all of `size` (what the system does not take now waits here); -1 when the socket
    // is not connected or the connection broke.
    long send(const uint8_t* bytes, std::size_t size);
    std::size_t unsent() const { return waiting_.size() - waitingFrom_; }
    // What waits, up to `capacity`; -1 when nothing waits yet, 0 once the connection ended.
    long receive(uint8_t* buffer, std::size_t capacity);

    // The owner is done with the socket: it reports nothing more, hands the system what still
    // waits for at most `lingerMs`, then closes.
    void closeWhenSent(int lingerMs);
    void close();
    bool isClosed() const { return fd_ < 0; }
    // True while one of its notifications is being delivered: it must outlive it.
    bool notifying() const { return depth_ > 0; }

private:
    void watch();
    void onReadNotice();
    void onWriteNotice();
    void finishConnect();
    bool flushWaiting();
    void wantWriteNotice(bool on);

    Events events_;
    int fd_ = -1;
    bool connecting_ = false;
    bool connected_ = false;
    bool ended_ = false;
    bool endReported_ = false;
    bool silent_ = false;
    bool lingering_ = false;
    bool reading_ = false;
    bool emptied_ = false;
    int depth_ = 0;
    int readsThisNotice_ = 0;
    std::vector<uint8_t> waiting_;
    std::size_t waitingFrom_ = 0;
    QSocketNotifier* reader_ = nullptr;
    QSocketNotifier* writer_ = nullptr;
    // Context of its timers: they die with the socket.
    QObject context_;
};

} // namespace talmor
