// Datagram intake: how many server datagrams carrying a new call pass the session gate, the
// duplicate filter, dispatch into a listener and the acknowledgement per second; and how long
// matching an acknowledgement takes with few or many requests pending.
#include <benchmark/benchmark.h>

#include <chrono>
#include <deque>
#include <memory>

#include "protocol/clientlistener.h"
#include "protocol/commands.h"
#include "protocol/platformclient.h"
#include "support/clientharness.h"
#include "support/fakes.h"
#include "support/wire.h"

namespace talmor {
namespace {

using testing::FakeClock;
using testing::FakeRandom;
using testing::FakeResolver;
using testing::FakeTimers;
using testing::MemorySockets;

// Keeps the last call, as a call pane would.
class StoringListener : public ClientListener {
public:
    using ClientListener::ClientListener;
    void OnNewCall(CallRecord call) override {
        last = std::move(call);
        ++calls;
    }
    CallRecord last;
    uint64_t calls = 0;
};

struct Intake {
    Intake() : listener(sockets, resolver, timers, clock, random) {
        setTraceSink([](const std::string&) {});
        for (const auto& [id, socket] : sockets.sockets) {
            if (socket.type == SocketType::Datagram) {
                handle = id;
            }
        }
    }
    ~Intake() { setTraceSink(nullptr); }

    UdpSession& session() { return listener.client().udpSession(); }
    void dropSent() { sockets.find(handle)->sent.clear(); }

    MemorySockets sockets;
    FakeResolver resolver;
    FakeTimers timers;
    FakeClock clock;
    FakeRandom random;
    StoringListener listener;
    int handle = kNoSocket;
};

CallRecord realisticCall() {
    CallRecord r;
    r.callId = 7340032;
    r.userId = 100234;
    r.category = 1;
    r.callTime = 1700000000;
    r.userName = "\xd5\xc5\xc8\xfd"; // two GBK characters
    r.age = 78;
    r.sex = 2;
    r.phone = "020-87654321";
    r.mobile = "13800138000";
    r.province = "\xb9\xe3\xb6\xab\xca\xa1";
    r.city = "\xb9\xe3\xd6\xdd\xca\xd0";
    r.district = "\xcc\xec\xba\xd3\xc7\xf8";
    r.street = "\xca\xaf\xc5\xc6\xbd\xd6";
    r.community = "\xb6\xab\xc6\xd6\xc9\xe7\xc7\xf8";
    r.address = "\xb6\xab\xc6\xd6\xc2\xb7 12 \xba\xc5 3 \xc2\xa5 401";
    r.mapMark = "113.3612,23.1247";
    r.orgFlag = 1;
    r.orgId = 5501;
    r.source = 1;
    r.serviceObject = "\xb1\xbe\xc8\xcb";
    return r;
}

void BM_NewCallIntake(benchmark::State& state) {
    Intake intake;
    OutPacket packet = testing::serverDatagram(intake.session().sessionId(), CMD_NEW_CALL, 1);
    realisticCall().write(packet, CallWireOrder::NewCall);
    std::vector<uint8_t> datagram = testing::bytesOf(packet);
    uint16_t seq = 0;
    for (auto _ : state) {
        if (++seq == 0) {
            seq = 1; // 0 would be a pure acknowledgement
        }
        datagram[kSeqOffset] = static_cast<uint8_t>(seq >> 8);
        datagram[kSeqOffset + 1] = static_cast<uint8_t>(seq);
        intake.session().receiveDatagram(datagram.data(), datagram.size());
        if ((seq & 0xFFF) == 0) {
            intake.dropSent();
        }
    }
    if (intake.listener.calls != static_cast<uint64_t>(state.iterations())) {
        state.SkipWithError("not every datagram reached the listener");
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["datagrams/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NewCallIntake);

// One pure acknowledgement matched against `pending` requests; a new request refills the
// queue so that the count stays the same. Only the acknowledgement is timed: building and
// enciphering the refill is the same work for any queue length. The second argument picks
// the request acknowledged: 0 the oldest (as the server answers; with 10,000 pending its 4 KB
// packet has left the cache), 1 the newest (still cached: the lookup alone).
void BM_AckLookup(benchmark::State& state) {
    Intake intake;
    const auto pending = static_cast<std::size_t>(state.range(0));
    const bool newest = state.range(1) != 0;
    std::deque<uint16_t> seqs;
    const auto queueOne = [&] {
        auto request = intake.session().newRequest(CMD_GET_USER_INFO);
        request->writeInt(7);
        seqs.push_back(intake.session().queueAndSend(std::move(request)));
    };
    for (std::size_t i = 0; i < pending; ++i) {
        queueOne();
    }
    OutPacket ack = testing::serverDatagram(intake.session().sessionId(), CMD_ACK, 0);
    std::vector<uint8_t> datagram = testing::bytesOf(ack);
    uint64_t rounds = 0;
    for (auto _ : state) {
        uint16_t seq = 0;
        if (newest) {
            seq = seqs.back();
            seqs.pop_back();
        } else {
            seq = seqs.front();
            seqs.pop_front();
        }
        datagram[kCheckWordOffset] = static_cast<uint8_t>(seq >> 8);
        datagram[kCheckWordOffset + 1] = static_cast<uint8_t>(seq);
        const auto start = std::chrono::steady_clock::now();
        intake.session().receiveDatagram(datagram.data(), datagram.size());
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        queueOne();
        if ((++rounds & 0xFFF) == 0) {
            intake.dropSent();
        }
    }
    if (intake.session().pendingCount() != pending) {
        state.SkipWithError("an acknowledgement did not match its request");
    }
}
BENCHMARK(BM_AckLookup)
    ->ArgNames({"pending", "newest"})
    ->ArgsProduct({{10, 10000}, {0, 1}})
    ->UseManualTime();

} // namespace
} // namespace talmor

BENCHMARK_MAIN();
