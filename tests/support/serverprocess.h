#pragma once

#include <QProcess>
#include <QString>

#include <cstdint>

namespace talmor::e2e {

// A real quorvane-server on free loopback ports of its own, stopped with SIGTERM when the
// object goes.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts the server on `seed` and waits for its ready line. Ports 0 take free ones; a
    // server started again takes the ports of the one it replaces.
    bool start(const QString& seed, QString& error, uint16_t udpPort = 0, uint16_t httpPort = 0);
    // SIGTERM, then the exit; true when it stopped cleanly by itself.
    bool stop();

    uint16_t udpPort() const { return udpPort_; }
    uint16_t httpPort() const { return httpPort_; }
    // Everything the server printed so far.
    QString output();

private:
    QProcess process_;
    QString output_;
    uint16_t udpPort_ = 0;
    uint16_t httpPort_ = 0;
};

} // namespace talmor::e2e
