#pragma once

#include <cstdint>
#include <vector>

namespace talmor::server {

// A loopback address and port where a connection attempt gets no answer: a listening socket
// whose accept queue is full and never drained, so the system drops every further SYN. A
// console told that a peer is here tries, waits out its attempt and falls back to the server,
// as it would with a peer behind a dead link, and nothing leaves the machine.
class UnansweredPort {
public:
    // 127.0.0.3: on the loopback device, but not the address consoles and the server use.
    static constexpr uint32_t kAddress = 0x7F000003;

    UnansweredPort() = default;
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    // Listens and fills the queue; false (and nothing held) when the system refuses.
    bool open();
    bool isOpen() const { return listener_ >= 0; }
    uint32_t address() const { return kAddress; }
    uint16_t port() const { return port_; }

private:
    void closeAll();

    int listener_ = -1;
    uint16_t port_ = 0;
    std::vector<int> fillers_;
};

} // namespace talmor::server
