#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "net/qtdatagramport.h"
#include "net/stdrandom.h"
#include "server/controlapi.h"
#include "server/platformserver.h"
#include "server/seed.h"

namespace talmor::server {

// quorvane-server on the event loop: the protocol engine on a UDP port, its clock tick, the
// scenario timer, and the control API with the stand-in pages on a loopback HTTP port.
class ServerApp : public DatagramSink {
public:
    explicit ServerApp(Seed seed);
    ~ServerApp() override;
    ServerApp(const ServerApp&) = delete;
    ServerApp& operator=(const ServerApp&) = delete;

    // Port 0 takes any free port; udpPort() and httpPort() tell which. The HTTP port listens
    // on loopback unless `httpAddress` names another address of this machine.
    bool start(uint16_t udpPort, uint16_t httpPort, QString& error,
               const QString& httpAddress = QString());
    uint16_t udpPort() const { return port_.port(); }
    uint16_t httpPort() const { return httpPort_; }

    void sendDatagram(const Endpoint& to, const uint8_t* bytes, std::size_t size) override;
    void setMessageStore(std::unique_ptr<MessageStore> store) {
        server_.setMessageStore(std::move(store));
    }

private:
    static int64_t nowMs();
    void raiseScenarioCall();
    void restartScenario();

    Seed seed_;
    CallStore calls_;
    StdRandom random_;
    PlatformServer server_;
    ScenarioGenerator scenario_;
    QtDatagramPort port_;
    ControlApi http_;
    QTimer tick_;
    QTimer scenarioTimer_;
    uint16_t httpPort_ = 0;
};

} // namespace talmor::server
