#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talmor::e2e {

// A plain TCP connection to a console's listener on loopback, from a loopback address of the
// test's choice (127.0.0.2 plays a stranger's machine), as a hostile peer would open it.
class RawPeerConnection {
public:
    // Starts a non-blocking connect from `from` to 127.0.0.1:`port` (addresses in host order).
    RawPeerConnection(uint32_t from, uint16_t port);
    ~RawPeerConnection();
    RawPeerConnection(const RawPeerConnection&) = delete;
    RawPeerConnection& operator=(const RawPeerConnection&) = delete;

    bool valid() const { return fd_ >= 0; }
    // True once the console closed (or reset) the connection; never blocks.
    bool closedByConsole();
    // Sends what the connection can take now; false on an error.
    bool send(const std::vector<uint8_t>& bytes);
    // The commands of the whole peer packets received so far.
    std::vector<uint16_t> receivedCommands();

private:
    void readWaiting();

    int fd_ = -1;
    bool closed_ = false;
    std::vector<uint8_t> received_;
};

// A peer packet with its prefix: a hello, or a chat message numbered `number`.
std::vector<uint8_t> peerHello(uint32_t sender);
std::vector<uint8_t> peerChat(uint32_t sender, uint32_t number, const std::string& text);

constexpr uint32_t kStrangerAddress = 0x7F000002; // 127.0.0.2
constexpr uint32_t kLoopbackAddress = 0x7F000001; // 127.0.0.1

} // namespace talmor::e2e
