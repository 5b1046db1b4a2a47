#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class QSocketNotifier;

namespace talmor {

// A connected, non-blocking datagram socket of the system, watched by a level-triggered
// notifier on Qt's event loop: while a datagram waits, every turn of the loop reports it again,
// so a reader may stop at any point and take the rest on a later turn without losing any.
class DatagramSocket {
public:
    explicit DatagramSocket(std::function<void()> onReadable);
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    // Opens a new socket (a new local port) fixed on the peer (host order); false when the
    // system refuses.
    bool connect(uint32_t address, uint16_t port, int receiveBufferBytes);
    bool isOpen() const { return fd_ >= 0; }
    uint32_t localAddress() const;
    uint16_t localPort() const;
    long send(const uint8_t* bytes, std::size_t size);
    // One datagram, cut to `capacity` when longer; -1 when none waits.
    long receive(uint8_t* buffer, std::size_t capacity);
    // Off while the reader handles a notification: a nested event loop (a message box) must not
    // spin on the datagrams the reader will take when it returns.
    void setNotifying(bool on);
    void close();

private:
    std::function<void()> onReadable_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace talmor
