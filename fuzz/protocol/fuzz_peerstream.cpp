// A peer stream fed arbitrary bytes: de-framing and every session kind's handler, on the
// accepting side (after a valid hello or without one) and on the connecting side. Beyond not
// crashing: a session only ever speaks for the one contact at its known address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/clientlistener.h"
#include "protocol/peersessionmanager.h"
#include "protocol/trace.h"
#include "support/clientharness.h"
#include "support/fakes.h"

namespace {

using namespace talmor;

constexpr uint32_t kContact = 7;
constexpr uint32_t kContactAddress = 0x7F000001;

// Received files go nowhere; sent files are endless zeros.
class SinkListener : public ClientListener {
public:
    using ClientListener::ClientListener;
    std::string GetTransferFilePath(uint32_t) override { return "/dev/null"; }
    uint32_t GetTransferFileSize(uint32_t) override { return 5000; }
};

struct Console {
    Console()
        : listener(sockets, resolver, timers, clock, random),
          peers(listener, sockets, clock, timers) {
        listener.own().operatorId = 1001;
        listener.setPeerSessions(&peers);
        ContactRecord contact;
        contact.id = kContact;
        listener.contacts().add(contact);
        listener.storePresence(kContact, kStatusOnline, kContactAddress, 4000, 6000,
                               kContactAddress);
    }
    testing::MemorySockets sockets;
    testing::FakeResolver resolver;
    testing::FakeTimers timers;
    testing::FakeClock clock;
    testing::FakeRandom random;
    SinkListener listener;
    PeerSessionManager peers;
};

const char* const kKinds[] = {kMessageKind, kFileKind, kVoiceKind, kVideoKind};

// The connecting side's session of `kind` with the contact, connected.
int connectTo(Console& console, const char* kind) {
    const std::string name = kind;
    if (name == kMessageKind) {
        console.peers.sendChatMessage(1, kContact, "hi", false);
    } else if (name == kFileKind) {
        console.peers.startFileTransfer(kContact, 6001, 5000, "/dev/zero");
    } else if (name == kVoiceKind) {
        console.peers.startVoice(kContact, 6002);
    } else {
        console.peers.startVideo(kContact, 6003);
    }
    PeerSession* session = console.peers.findSession(kind, kContact);
    if (session == nullptr) {
        std::abort();
    }
    const int handle = session->socketHandle();
    session->onConnected(true);
    return handle;
}

// The accepting side's session of `kind`, from the contact's address.
int acceptFrom(Console& console, const char* kind) {
    console.peers.listenFor(kind, kContact);
    PeerSession* listener = console.peers.findSession(kind, 0);
    const int handle = console.sockets.nextHandle;
    console.sockets.acceptAddress = kContactAddress;
    listener->onIncoming(listener->socketHandle());
    return handle;
}

void checkSessions(const Console& console) {
    for (const char* kind : kKinds) {
        const PeerSession* session = console.peers.findSession(kind, 0);
        if (session != nullptr && session->state() == PeerState::Connected &&
            session->peerId() != kContact) {
            std::abort();
        }
    }
    if (console.peers.size() > 2) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        setTraceSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size == 0) {
        return 0;
    }
    // The first byte picks the kind (bits 0-1), a valid hello first (bit 2), the connecting
    // side (bit 3) and the size of the pieces the bytes arrive in (bits 4-7).
    const uint8_t control = data[0];
    const char* kind = kKinds[control & 3];
    const std::size_t piece = 1 + static_cast<std::size_t>(control >> 4) * 300;
    // One console for every input (building one per input would cost more than the input);
    // each input ends with every session closed, so none depends on the ones before.
    static Console& console = *new Console;
    const bool connecting = (control & 8) != 0;
    const int handle = connecting ? connectTo(console, kind) : acceptFrom(console, kind);

    std::vector<uint8_t> stream;
    if ((control & 4) != 0 && !connecting) {
        PeerOutPacket hello(kPeerHello, kContact);
        hello.writeByte(1);
        hello.setPrefix();
        stream.assign(hello.data(), hello.data() + hello.length());
    }
    stream.insert(stream.end(), data + 1, data + size);
    for (std::size_t at = 0; at < stream.size() && console.sockets.find(handle) != nullptr;
         at += piece) {
        const std::size_t count = std::min(piece, stream.size() - at);
        console.sockets.deliver(
            handle, std::vector<uint8_t>(stream.begin() + at, stream.begin() + at + count));
        checkSessions(console);
    }
    if (testing::MemorySockets::Socket* socket = console.sockets.find(handle)) {
        socket->peerClosed = true;
        socket->sink->onClosed();
    }
    checkSessions(console);
    console.peers.closeContactSessions(true);
    if (console.peers.size() != 0) {
        std::abort();
    }
    for (const auto& [id, socket] : console.sockets.sockets) {
        if (socket.type == SocketType::Stream) {
            std::abort(); // a closed session left its socket open
        }
    }
    return 0;
}
