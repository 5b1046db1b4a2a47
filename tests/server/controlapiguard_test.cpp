// Which HTTP requests the server serves: a table of requests a console's tools, a trainer's
// browser and a hostile web page send.
#include <gtest/gtest.h>

#include "server/controlapiguard.h"

namespace talmor::server {
namespace {

constexpr uint16_t kPort = 8080;
const std::optional<QByteArray> kNone;

struct Case {
    const char* what;
    QByteArray method;
    std::optional<QByteArray> host;
    std::optional<QByteArray> origin;
    std::optional<QByteArray> control;
    int status; // 0: served
};

int statusOf(const ControlApiGuard& guard, const Case& c) {
    const auto refusal = guard.refusal(RequestHead{c.method, c.host, c.origin, c.control});
    return refusal ? refusal->status : 0;
}

TEST(ControlApiGuard, ServesLoopbackToolsAndRefusesOtherSitesAndBareWrites) {
    const Case cases[] = {
        {"curl GET", "GET", "127.0.0.1:8080", kNone, kNone, 0},
        {"GET by localhost", "GET", "localhost:8080", kNone, kNone, 0},
        {"GET by LOCALHOST without port", "GET", "LOCALHOST", kNone, kNone, 0},
        {"GET by another loopback address", "GET", "127.0.0.2:8080", kNone, kNone, 0},
        {"GET by IPv6 loopback", "GET", "[::1]:8080", kNone, kNone, 0},
        {"tool POST with the header", "POST", "127.0.0.1:8080", kNone, "1", 0},
        {"own page POST with the header", "POST", "127.0.0.1:8080", "http://127.0.0.1:8080", "1",
         0},
        {"own page by localhost", "GET", "localhost:8080", "http://localhost:8080", kNone, 0},
        {"POST without the header", "POST", "127.0.0.1:8080", kNone, kNone, 403},
        {"POST with another header value", "POST", "127.0.0.1:8080", kNone, "0", 403},
        {"cross-site form POST", "POST", "127.0.0.1:8080", "http://evil.example", kNone, 403},
        {"cross-site POST with the header", "POST", "127.0.0.1:8080", "http://evil.example", "1",
         403},
        {"page of another local port", "GET", "127.0.0.1:8080", "http://127.0.0.1:3000", kNone,
         403},
        {"page over https", "GET", "127.0.0.1:8080", "https://127.0.0.1:8080", kNone, 403},
        {"sandboxed page", "GET", "127.0.0.1:8080", "null", kNone, 403},
        {"rebound name reading the log", "GET", "evil.example:8080", kNone, kNone, 403},
        {"rebound name with own origin", "GET", "evil.example:8080", "http://evil.example:8080",
         kNone, 403},
        {"name that starts like loopback", "GET", "127.0.0.1.evil.example:8080", kNone, kNone, 403},
        {"localhost subdomain", "GET", "localhost.evil.example:8080", kNone, kNone, 403},
        {"other port in Host", "GET", "127.0.0.1:9090", kNone, kNone, 403},
        {"unbracketed IPv6", "GET", "::1", kNone, kNone, 403},
        {"no Host", "GET", kNone, kNone, kNone, 400},
        {"empty Host", "GET", "", kNone, kNone, 400},
        {"port out of range", "GET", "127.0.0.1:99999", kNone, kNone, 400},
        {"preflight", "OPTIONS", "127.0.0.1:8080", "http://evil.example", kNone, 403},
        {"PUT with the header", "PUT", "127.0.0.1:8080", kNone, "1", 405},
    };
    const ControlApiGuard guard(QString(), kPort);
    for (const Case& c : cases) {
        EXPECT_EQ(statusOf(guard, c), c.status) << c.what;
    }
}

TEST(ControlApiGuard, AnExplicitAddressIsOwnBesideLoopback) {
    const Case cases[] = {
        {"by the address", "GET", "10.1.2.3:8080", kNone, kNone, 0},
        {"page of the address", "GET", "10.1.2.3:8080", "http://10.1.2.3:8080", kNone, 0},
        {"on the machine itself", "GET", "127.0.0.1:8080", kNone, kNone, 0},
        {"another address", "GET", "10.1.2.4:8080", kNone, kNone, 403},
        {"a name for it", "GET", "trainer.example:8080", kNone, kNone, 403},
    };
    const ControlApiGuard guard("10.1.2.3", kPort);
    for (const Case& c : cases) {
        EXPECT_EQ(statusOf(guard, c), c.status) << c.what;
    }
}

} // namespace
} // namespace talmor::server
