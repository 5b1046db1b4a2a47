#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/stdrandom.h"
#include "protocol/packet.h"
#include "protocol/packetcipher.h"
#include "server/platformserver.h"

namespace talmor::server::testing {

using Bytes = std::vector<uint8_t>;

// One datagram the server sent.
struct Sent {
    Endpoint to;
    Bytes bytes;

    uint16_t command() const { return InPacket(bytes.data(), bytes.size()).command(); }
    uint16_t seq() const { return InPacket(bytes.data(), bytes.size()).seq(); }
    uint16_t ackSeq() const { return InPacket(bytes.data(), bytes.size()).ackSeq(); }
    uint32_t sessionId() const { return InPacket(bytes.data(), bytes.size()).sessionId(); }
};

class Recorder : public DatagramSink {
public:
    void sendDatagram(const Endpoint& to, const uint8_t* bytes, std::size_t size) override {
        sent.push_back(Sent{to, Bytes(bytes, bytes + size)});
    }
    // What went to `to` with `command` (pure acknowledgements are command 1 with seq 0).
    std::vector<Sent> to(const Endpoint& to, uint16_t command) const;
    std::vector<Sent> sent;
};

// Reads a body the way a console does: an InPacket over a copy of the datagram.
class Reader {
public:
    explicit Reader(const Sent& sent) : bytes_(sent.bytes), in_(bytes_.data(), bytes_.size()) {}
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    InPacket& in() { return in_; }

private:
    Bytes bytes_;
    InPacket in_;
};

// A console as the server meets it: requests built, numbered and enciphered as a console does.
class FakeConsole {
public:
    FakeConsole(PlatformServer& server, Endpoint endpoint, uint32_t operatorId,
                std::string password, uint32_t sessionId);

    const Endpoint& endpoint() const { return endpoint_; }
    uint32_t sessionId() const { return sessionId_; }
    uint32_t operatorId() const { return operatorId_; }

    uint16_t login(uint32_t status = 0, const std::string& password = std::string());
    uint16_t request(
        uint16_t command, const std::function<void(OutPacket&)>& body = [](OutPacket&) {});
    // Sends the same bytes as request `seq` again.
    void resend(uint16_t seq);
    void ack(uint16_t seq);
    // Acknowledges everything the server sent this console so far.
    void ackAll(const Recorder& recorder);
    void raw(const Bytes& bytes);
    // Logs in and walks the login chain up to the contact list, acknowledging as it goes.
    void loginToReady(Recorder& recorder);
    // Another console double on the same session numbers its requests apart from this one.
    void numberFrom(uint16_t seq) { nextSeq_ = seq; }

    int64_t nowMs = 1000000;

private:
    PlatformServer& server_;
    Endpoint endpoint_;
    uint32_t operatorId_;
    std::string password_;
    uint32_t sessionId_;
    uint16_t nextSeq_ = 100;
    PacketCipher cipher_;
    std::vector<std::pair<uint16_t, Bytes>> sentRequests_;
};

// A small platform: operators 1024 and 1025 (area A, contacts of each other), 1026 (area B),
// subscriber 2001 in area A with a family member, subscriber 2002 in area B.
struct ServerHarness {
    ServerHarness();

    Directory directory;
    CallStore calls;
    Recorder recorder;
    StdRandom random{7};
    ServerSettings settings;
    std::unique_ptr<PlatformServer> server;

    FakeConsole console(uint32_t operatorId, uint16_t port);
};

} // namespace talmor::server::testing
