#include "server/serverapp.h"

#include <QDateTime>
#include <QHostAddress>

#include <cstdio>

namespace talmor::server {

namespace {
// Retransmissions are due at whole intervals of this; finer than the shortest resend interval.
constexpr int kTickMs = 100;
// A bigger receive buffer lets a console's burst of requests (one per contact at login) wait
// instead of being dropped while the server works through it.
constexpr int kReceiveBufferBytes = 16 * 1024 * 1024;
} // namespace

ServerApp::ServerApp(Seed seed)
    : seed_(std::move(seed)), random_(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch())),
      server_(seed_.directory, calls_, *this, random_, seed_.settings),
      scenario_(seed_.scenario, random_),
      port_([this](const uint8_t* bytes, std::size_t size, uint32_t address, uint16_t port) {
          server_.receive(bytes, size, Endpoint{address, port}, nowMs());
      }),
      http_(server_, scenario_, [this] { restartScenario(); }) {
    server_.setEventLog([](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    calls_.setClock(&ServerApp::nowMs);
    const uint32_t now = static_cast<uint32_t>(nowMs() / 1000);
    for (const SeedCall& seedCall : seed_.calls) {
        CallRecord call = makeCall(*seed_.directory.find(seedCall.user), seedCall.category,
                                   now - seedCall.secondsAgo);
        call.source = seedCall.source;
        call.serviceObject = seedCall.serviceObject;
        calls_.add(std::move(call));
    }
    QObject::connect(&tick_, &QTimer::timeout, [this] { server_.tick(nowMs()); });
    QObject::connect(&scenarioTimer_, &QTimer::timeout, [this] { raiseScenarioCall(); });
}

ServerApp::~ServerApp() = default;

int64_t ServerApp::nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

bool ServerApp::start(uint16_t udpPort, uint16_t httpPort, QString& error,
                      const QString& httpAddress) {
    if (!port_.bind(0, udpPort, kReceiveBufferBytes)) {
        error = QString("cannot bind UDP port %1").arg(udpPort);
        return false;
    }
    QHostAddress address(QHostAddress::LocalHost);
    if (!httpAddress.isEmpty() && !address.setAddress(httpAddress)) {
        error = QString("%1 is not an IP address").arg(httpAddress);
        return false;
    }
    httpPort_ = http_.listen(address, httpPort);
    if (httpPort_ == 0) {
        error = QString("cannot listen on HTTP port %1").arg(httpPort);
        return false;
    }
    http_.setGuard(
        ControlApiGuard(address.isLoopback() ? QString() : address.toString(), httpPort_));
    tick_.start(kTickMs);
    restartScenario();
    return true;
}

void ServerApp::sendDatagram(const Endpoint& to, const uint8_t* bytes, std::size_t size) {
    port_.send(to.address, to.port, bytes, size);
}

void ServerApp::raiseScenarioCall() {
    auto call = scenario_.next(seed_.directory, static_cast<uint32_t>(nowMs() / 1000));
    if (call && !calls_.isBlacklisted(call->phone) &&
        calls_.waitingCount() < seed_.settings.maxWaitingCalls) {
        server_.injectCall(std::move(*call));
    }
}

void ServerApp::restartScenario() {
    const int interval = scenario_.config().intervalMs;
    if (interval > 0) {
        scenarioTimer_.start(interval);
    } else {
        scenarioTimer_.stop();
    }
}

} // namespace talmor::server
