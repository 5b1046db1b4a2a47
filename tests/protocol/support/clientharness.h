#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/platformclient.h"
#include "support/fakes.h"
#include "support/recordinglistener.h"
#include "support/wire.h"

namespace talmor::testing {

// Answers host lookups only when a test says so.
class FakeResolver : public HostResolver {
public:
    void lookup(const std::string& host, std::function<void(uint32_t)> done) override {
        pending.emplace_back(host, std::move(done));
    }
    std::vector<std::pair<std::string, std::function<void(uint32_t)>>> pending;
};

// A request the console sent, its body deciphered (block padding included).
struct SentRequest {
    uint16_t command = 0;
    uint16_t seq = 0;
    uint32_t senderId = 0;
    Bytes body;
    bool deciphered = false;
};

constexpr uint32_t kOperatorId = 1001;
constexpr uint32_t kServerAddress = 0x7F000001; // 127.0.0.1
constexpr uint16_t kServerPort = 8000;

// A recording listener with its platform client on in-memory sockets, fake timers, clock and
// random, and the means to play the server's part.
class ClientHarness {
public:
    ClientHarness();

    PlatformClient& client() { return listener.client(); }
    int socketHandle() const { return handle_; }

    // A server datagram for the current session; `seq` 0 picks the next server seq.
    void deliver(uint16_t command, const Bytes& body, uint16_t seq = 0, uint16_t ackSeq = 0);
    void deliver(uint16_t command, const std::function<void(OutPacket&)>& body, uint16_t seq = 0,
                 uint16_t ackSeq = 0);
    uint16_t lastServerSeq() const { return serverSeq_; }

    // Everything sent on the session socket so far, in order; takeSent also forgets it.
    std::vector<SentRequest> sent();
    std::vector<SentRequest> takeSent();
    // The commands of takeSent(), acknowledgements included.
    std::vector<uint16_t> takeSentCommands();

    // Acknowledges every request sent so far, as the server does.
    void acknowledgeAll();

    // Connects to 127.0.0.1 asking for `status`; the login request goes out at once.
    void connect(uint32_t status = kStatusOnline);
    // Plays the whole login: connect, reply, rights, profile (type "S", no scope), one group,
    // contacts 7 and 8. Ends online (or `status`) with the sent list cleared.
    void login(uint32_t status = kStatusOnline);

    TraceCapture traces;
    FakeClock clock;
    FakeRandom random;
    FakeTimers timers;
    MemorySockets sockets;
    FakeResolver resolver;
    RecordingListener listener;

private:
    int handle_ = kNoSocket;
    uint16_t serverSeq_ = 100;
};

// A body written by `write` into a fresh packet.
Bytes body(const std::function<void(OutPacket&)>& write);
// The u32 at `offset` of a body.
uint32_t u32At(const Bytes& body, std::size_t offset);

} // namespace talmor::testing
