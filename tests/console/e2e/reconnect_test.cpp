// The real console against a real quorvane-server that is stopped and started again: with
// automatic reconnection ticked the console keeps trying until it is logged in again, and while
// it is offline its listed calls raise no alarm.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>

#include "storage/consoleoptions.h"
#include "storage/optionstore.h"
#include "support/consoleprocess.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"

namespace talmor::e2e {
namespace {

constexpr int kReadyTimeoutMs = 60000;
// Two keep-alives in a row, each sent three times 10 s apart, find the link lost.
constexpr int kLossTimeoutMs = 120000;
// The login sent at once after the loss is sent three times before it counts as unanswered.
constexpr int kRetryTimeoutMs = 60000;
constexpr int kSosRepeatMs = 15000;

int Count(const QString& output, const QString& milestone) {
    return static_cast<int>(output.count("talmormanager: " + milestone + "\n"));
}

// How often `milestone` appears after the first line that holds `after`.
int CountAfter(const QString& output, const QString& after, const QString& milestone) {
    const qsizetype at = output.indexOf("talmormanager: " + after + "\n");
    return at < 0 ? -1 : Count(output.mid(at), milestone);
}

bool ServerHasReadyConsole(ControlClient& control, uint32_t operatorId) {
    const std::optional<QJsonDocument> consoles = control.get("/api/consoles");
    for (const QJsonValue& entry : consoles ? consoles->array() : QJsonArray()) {
        const QJsonObject session = entry.toObject();
        if (session.value("operator").toInt() == static_cast<int>(operatorId) &&
            session.value("ready").toBool()) {
            return true;
        }
    }
    return false;
}

TEST(ReconnectTest, AConsoleComesBackByItselfAfterAServerOutageAndStaysQuietWhileOffline) {
    ServerProcess server;
    QString error;
    ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
    const uint16_t udpPort = server.udpPort();
    const uint16_t httpPort = server.httpPort();
    ConsoleHome home(udpPort, httpPort);
    auto control = std::make_unique<ControlClient>(httpPort);

    // The operator ticked "脱机自动连接" (and accepted the agreement) at an earlier login.
    const std::string appFolder = QDir(home.folder()).absolutePath().toStdString() + "/";
    const std::string userFolder = appFolder + "User/1024/";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(userFolder)));
    storage::ConsoleOptions options = storage::DefaultConsoleOptions(appFolder);
    options.setBit(storage::kOptionAutoReconnect, true);
    options.setBit(storage::kOptionAgreementAccepted, true);
    ASSERT_TRUE(storage::SaveOptions(userFolder, options));

    MarkedProcess console;
    console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                  home.environment());
    ASSERT_GE(console.waitForMark("ready", kReadyTimeoutMs), 0) << console.output().toStdString();

    // An SOS call waits: its alarm sounds and repeats.
    ASSERT_TRUE(control->post("/api/calls/inject?category=1&user=2001"));
    ASSERT_TRUE(waitFor([&] { return Count(console.output(), "sound 2") >= 2; },
                        kReadyTimeoutMs + kSosRepeatMs))
        << console.output().toStdString();

    ASSERT_TRUE(server.stop());
    control.reset();
    ASSERT_GE(console.waitForMark("connection lost", kLossTimeoutMs), 0)
        << console.output().toStdString();
    // The login sent at once goes unanswered: the console waits and tries again.
    ASSERT_GE(console.waitForMark("login again later", kRetryTimeoutMs), 0)
        << console.output().toStdString();
    // Offline, the SOS call still listed raised no alarm in the 20 s and more since the loss.
    EXPECT_EQ(CountAfter(console.output(), "connection lost", "sound 2"), 0)
        << console.output().toStdString();

    ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error, udpPort, httpPort)) << error.toStdString();
    control = std::make_unique<ControlClient>(httpPort);
    EXPECT_TRUE(waitFor([&] { return Count(console.output(), "ready") >= 2; }, kReadyTimeoutMs))
        << console.output().toStdString();
    EXPECT_TRUE(waitFor([&] { return ServerHasReadyConsole(*control, 1024); }, kReadyTimeoutMs));
}

} // namespace
} // namespace talmor::e2e
