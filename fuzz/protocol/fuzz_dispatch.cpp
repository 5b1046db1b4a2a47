// Server datagrams through the session gate, the duplicate filter and the dispatcher into a
// listener with its base behaviours. Unless the lowest bit of header byte 2 (reserved, never
// read) is set, the input's version and session id are replaced by the live ones, so that most
// inputs get past the gate and the rest still try it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/clientlistener.h"
#include "protocol/platformclient.h"
#include "protocol/trace.h"
#include "support/clientharness.h"
#include "support/fakes.h"

namespace {

using namespace talmor;

// A fresh console per input, so that no input depends on the ones before it.
struct Console {
    Console() : listener(sockets, resolver, timers, clock, random) {
        listener.own().operatorId = 1001;
        listener.own().password = "secret";
        // A known contact, so that presence and profile events find one.
        ContactRecord contact;
        contact.id = 7;
        listener.contacts().add(contact);
    }
    testing::MemorySockets sockets;
    testing::FakeResolver resolver;
    testing::FakeTimers timers;
    testing::FakeClock clock;
    testing::FakeRandom random;
    ClientListener listener;
};

constexpr std::size_t kSessionIdOffset = 10;
constexpr std::size_t kReservedOffset = 2;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        setTraceSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    Console console;
    UdpSession& session = console.listener.client().udpSession();
    std::vector<uint8_t> datagram(data, data + size);
    if (datagram.size() >= kSessionIdOffset + 4 && (datagram[kReservedOffset] & 1) == 0) {
        datagram[0] = static_cast<uint8_t>(PROTOCOL_VERSION >> 8);
        datagram[1] = static_cast<uint8_t>(PROTOCOL_VERSION);
        const uint32_t id = session.sessionId();
        datagram[kSessionIdOffset] = static_cast<uint8_t>(id >> 24);
        datagram[kSessionIdOffset + 1] = static_cast<uint8_t>(id >> 16);
        datagram[kSessionIdOffset + 2] = static_cast<uint8_t>(id >> 8);
        datagram[kSessionIdOffset + 3] = static_cast<uint8_t>(id);
    }
    // Twice: the second copy meets the duplicate filter.
    session.receiveDatagram(datagram.data(), datagram.size());
    session.receiveDatagram(datagram.data(), datagram.size());
    return 0;
}
