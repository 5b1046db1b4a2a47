// The loopback guard of test runs: traffic to the machine's own loopback range passes, anything
// else stops the program before a packet leaves.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>

#include "net/datagramsocket.h"
#include "net/loopbackguard.h"
#include "net/qtdatagramport.h"
#include "net/streamsocket.h"
#include "support/eventloop.h"

namespace talmor {
namespace {

TEST(LoopbackGuard, OnlyTheLoopbackRangeAndThisHostCountAsLoopback) {
    struct Case {
        uint32_t address;
        bool loopback;
    };
    for (const Case& c :
         {Case{0x7F000001, true}, Case{0x7F000003, true}, Case{0x7FFFFFFE, true},
          Case{0x00000000, true}, Case{0xC0000201, false}, Case{0x0A000001, false},
          Case{0xC0A80001, false}, Case{0x80000001, false}, Case{0x7E000001, false}}) {
        EXPECT_EQ(isLoopbackAddress(c.address), c.loopback) << std::hex << c.address;
    }
}

// Each way the socket layer sends, pointed at an address off the machine with the guard on.
TEST(LoopbackGuardDeathTest, EveryWayOutStopsTheProgramBeforeSending) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::setenv("TALMOR_LOOPBACK_ONLY", "1", 1);
    constexpr uint32_t kFar = 0xC0000201; // 192.0.2.1
    const std::function<void()> tries[] = {
        [] {
            StreamSocket socket(StreamSocket::Events{});
            socket.connect(kFar, 9);
        },
        [] {
            DatagramSocket socket([] {});
            socket.connect(kFar, 9, 0);
        },
        [] {
            e2e::ensureApplication();
            QtDatagramPort port([](const uint8_t*, std::size_t, uint32_t, uint16_t) {});
            port.bind(0x7F000001, 0);
            const uint8_t byte = 0;
            port.send(kFar, 9, &byte, 1);
        },
    };
    for (const auto& attempt : tries) {
        EXPECT_DEATH(attempt(), "loopback guard: refused .* to 192\\.0\\.2\\.1:9");
    }
}

TEST(LoopbackGuard, ALoopbackPeerPassesWithTheGuardOn) {
    ::setenv("TALMOR_LOOPBACK_ONLY", "1", 1);
    ASSERT_TRUE(loopbackOnly());
    DatagramSocket socket([] {});
    EXPECT_TRUE(socket.connect(0x7F000001, 9, 0));
}

} // namespace
} // namespace talmor
