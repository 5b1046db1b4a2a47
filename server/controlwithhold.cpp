#include "server/controlwithhold.h"

#include <QJsonObject>

namespace talmor::server {

WithholdAnswer withholdRequests(PlatformServer& server, const QUrlQuery& query) {
    bool operatorOk = false;
    bool commandOk = false;
    const uint32_t operatorId = query.queryItemValue("operator").toUInt(&operatorOk);
    const uint16_t command = query.queryItemValue("command").toUShort(&commandOk);
    const QString on = query.queryItemValue("on");
    if (!operatorOk || !commandOk || (on != "1" && on != "0")) {
        return {false, QJsonDocument(QJsonObject{{"error", "operator=N&command=C&on=1|0"}})};
    }
    server.setWithheld(operatorId, command, on == "1");
    return {true, QJsonDocument(QJsonObject{{"operator", static_cast<qint64>(operatorId)},
                                            {"command", command},
                                            {"on", on == "1"}})};
}

} // namespace talmor::server
