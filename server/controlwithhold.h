#pragma once

#include <QJsonDocument>
#include <QUrlQuery>

#include "server/platformserver.h"

namespace talmor::server {

// POST /api/withhold?operator=N&command=C&on=1|0: while on, the server drops the operator's
// requests of that command unanswered, as if lost on the way.
struct WithholdAnswer {
    bool ok = false;
    QJsonDocument body;
};
WithholdAnswer withholdRequests(PlatformServer& server, const QUrlQuery& query);

} // namespace talmor::server
