// The real server's HTTP port against what a web page in a browser on the machine sends: other
// sites' pages and rebound names are refused, a POST needs the control header, and the calls
// that wait are capped.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "support/controlclient.h"
#include "support/rawhttp.h"
#include "support/serverprocess.h"

namespace talmor::e2e {
namespace {

struct Case {
    const char* what;
    const char* request; // %1 stands for the server's port
    int status;
};

class ControlGuard : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
    }

    std::size_t callCount() {
        const auto calls = ControlClient(server.httpPort()).get("/api/calls");
        return calls ? static_cast<std::size_t>(calls->array().size()) : 0;
    }

    ServerProcess server;
};

TEST_F(ControlGuard, RefusesOtherSitesAndBarePostsAndServesItsOwnTools) {
    const std::size_t seeded = callCount();
    const Case cases[] = {
        {"curl's GET", "GET /api/consoles HTTP/1.1\r\nHost: 127.0.0.1:%1\r\n\r\n", 200},
        {"a back-office page", "GET /createuser.aspx HTTP/1.1\r\nHost: localhost:%1\r\n\r\n", 200},
        {"a tool's POST",
         "POST /api/calls/inject?category=1&user=2001 HTTP/1.1\r\nHost: 127.0.0.1:%1\r\n"
         "X-Quorvane-Control: 1\r\nContent-Length: 0\r\n\r\n",
         200},
        {"a POST without the header",
         "POST /api/calls/inject?category=1&user=2001 HTTP/1.1\r\nHost: 127.0.0.1:%1\r\n"
         "Content-Length: 0\r\n\r\n",
         403},
        {"another site's form",
         "POST /api/calls/inject?category=1&user=2001 HTTP/1.1\r\nHost: 127.0.0.1:%1\r\n"
         "Origin: http://evil.example\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Content-Length: 0\r\n\r\n",
         403},
        {"another site's script with the header",
         "POST /api/push?operator=1024&command=1867&body=00000001 HTTP/1.1\r\n"
         "Host: 127.0.0.1:%1\r\nOrigin: http://evil.example\r\nX-Quorvane-Control: 1\r\n"
         "Content-Length: 0\r\n\r\n",
         403},
        {"a rebound name reading the log",
         "GET /api/log?operator=1024 HTTP/1.1\r\nHost: evil.example:%1\r\n\r\n", 403},
        {"a rebound name reading the live view",
         "GET /supervisor/events HTTP/1.1\r\nHost: evil.example:%1\r\n\r\n", 403},
        {"another site's page reading the live view",
         "GET /supervisor/events HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nOrigin: "
         "http://evil.example\r\n\r\n",
         403},
        {"a page of another local port",
         "GET /api/calls HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nOrigin: http://127.0.0.1:1\r\n\r\n",
         403},
        {"a preflight",
         "OPTIONS /api/calls/inject HTTP/1.1\r\nHost: 127.0.0.1:%1\r\n"
         "Origin: http://evil.example\r\nAccess-Control-Request-Method: POST\r\n\r\n",
         403},
    };
    for (const Case& c : cases) {
        const QByteArray request = QString::fromLatin1(c.request).arg(server.httpPort()).toLatin1();
        EXPECT_EQ(rawHttp(server.httpPort(), request).status, c.status) << c.what;
    }
    // Only the tool's injection made a call.
    EXPECT_EQ(callCount(), seeded + 1);
}

TEST_F(ControlGuard, TheCallsThatWaitAreCappedAndAnInjectionBeyondIsRefusedWhole) {
    ControlClient control(server.httpPort());
    const auto seeded = control.get("/api/calls");
    ASSERT_TRUE(seeded);
    const auto waiting = [&] {
        qsizetype count = 0;
        for (const QJsonValue& call : seeded->array()) {
            count += call.toObject().value("state").toString() == "waiting" ? 1 : 0;
        }
        return count;
    }();
    // Fill up to the cap in one storm, then one call more is refused with its reason.
    const int room = 100000 - static_cast<int>(waiting);
    ASSERT_TRUE(control.post(QString("/api/calls/inject?category=5&user=2001&count=%1").arg(room)));
    const QByteArray beyond = QString("POST /api/calls/inject?category=1&user=2001 HTTP/1.1\r\n"
                                      "Host: 127.0.0.1:%1\r\nX-Quorvane-Control: 1\r\n"
                                      "Content-Length: 0\r\n\r\n")
                                  .arg(server.httpPort())
                                  .toLatin1();
    const RawAnswer answer = rawHttp(server.httpPort(), beyond);
    EXPECT_EQ(answer.status, 503);
    EXPECT_TRUE(answer.body.contains("at most 100000")) << answer.body.toStdString();
    EXPECT_EQ(callCount(), static_cast<std::size_t>(seeded->array().size() + room));
}

} // namespace
} // namespace talmor::e2e
