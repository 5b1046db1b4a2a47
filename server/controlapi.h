#pragma once

#include <QAbstractHttpServer>
#include <QJsonDocument>

#include <functional>

#include "server/platformserver.h"
#include "server/scenario.h"

class QHttpServerResponder;

namespace talmor::server {

// The server's HTTP side on loopback: the control API under /api/ for tests and trainers
// (inject a call, list consoles, read a console's requests, push a raw command, steer the
// scenario) and the stand-in web pages for every other path.
class ControlApi : public QAbstractHttpServer {
public:
    ControlApi(PlatformServer& server, ScenarioGenerator& scenario,
               std::function<void()> scenarioChanged);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    QJsonDocument consoles();
    QJsonDocument calls();
    QJsonDocument scenario();

    PlatformServer& server_;
    ScenarioGenerator& scenario_;
    std::function<void()> scenarioChanged_;
};

} // namespace talmor::server
