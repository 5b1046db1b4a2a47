#pragma once

#include <QUdpSocket>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace talmor {

// A bound, unconnected datagram socket that talks to many peers (the server side). Every
// datagram waiting is handed to the receiver with its sender's address (host order) and port.
class QtDatagramPort {
public:
    using Receiver = std::function<void(const uint8_t* bytes, std::size_t size, uint32_t address,
                                        uint16_t port)>;

    explicit QtDatagramPort(Receiver receiver);
    QtDatagramPort(const QtDatagramPort&) = delete;
    QtDatagramPort& operator=(const QtDatagramPort&) = delete;

    // Port 0 takes any free port; port() tells which. A receive buffer size of 0 keeps the
    // system's default.
    bool bind(uint32_t address, uint16_t port, int receiveBufferBytes = 0);
    uint16_t port() const { return socket_.localPort(); }
    void send(uint32_t address, uint16_t port, const uint8_t* bytes, std::size_t size);

private:
    void drain();

    Receiver receiver_;
    QUdpSocket socket_;
};

} // namespace talmor
