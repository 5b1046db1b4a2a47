#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace talmor {

// A listening stream socket of the system on Qt's event loop. Each connection is accepted
// before it is announced; one the owner does not take during the announcement is closed, so
// a listener nobody serves cannot hold connections, or the event loop, waiting. When the
// process has no descriptor left for a connection, the listener rests a moment instead of
// being told again and again about the connection it cannot take.
class StreamListener {
public:
    explicit StreamListener(std::function<void()> onIncoming);
    ~StreamListener();
    StreamListener(const StreamListener&) = delete;
    StreamListener& operator=(const StreamListener&) = delete;

    // Listens on a port the system picks; `address` 0 listens on every IPv4 address.
    bool listen(uint32_t address);
    uint32_t localAddress() const;
    uint16_t localPort() const;
    // The connection being announced (non-blocking), or -1; the caller owns it.
    int takeIncoming();
    void close();
    bool isClosed() const { return fd_ < 0; }
    // True while an announcement is being delivered: it must outlive it.
    bool notifying() const { return notifying_; }

private:
    void onNotice();
    void pause();

    std::function<void()> onIncoming_;
    int fd_ = -1;
    int incoming_ = -1;
    bool notifying_ = false;
    QSocketNotifier* notifier_ = nullptr;
    std::unique_ptr<QTimer> resume_;
};

} // namespace talmor
