#pragma once

#include <QAbstractHttpServer>
#include <QJsonDocument>
#include <QUrlQuery>

#include <functional>
#include <optional>

#include "server/controlapiguard.h"
#include "server/liveview.h"
#include "server/platformserver.h"
#include "server/scenario.h"

class QHttpServerResponder;

namespace talmor::server {

// The server's HTTP side on loopback: the control API under /api/ for tests and trainers
// (inject a call, list consoles, read a console's requests, push a raw command, steer the
// scenario), the trainer's live view under /supervisor, the back-office pages made from the
// store and the stand-in web pages for every other path. Every request passes the guard
// first.
class ControlApi : public QAbstractHttpServer {
public:
    ControlApi(PlatformServer& server, ScenarioGenerator& scenario,
               std::function<void()> scenarioChanged);

    // Who may use the port, once it listens; until then every request is refused.
    void setGuard(ControlApiGuard guard);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    QJsonDocument consoles();
    QJsonDocument calls();
    QJsonDocument scenario();
    // The web pages: the live view, the back office and the stand-ins; `form` is a POST's body.
    void servePage(QHttpServerResponder& responder, const QString& path, const QUrlQuery& query,
                   const std::optional<QByteArray>& form);

    PlatformServer& server_;
    ScenarioGenerator& scenario_;
    std::function<void()> scenarioChanged_;
    std::optional<ControlApiGuard> guard_;
    LiveViewStream liveView_;
};

} // namespace talmor::server
