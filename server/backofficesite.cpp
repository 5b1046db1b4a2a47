#include "server/backofficesite.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "server/pagekit.h"
#include "server/platformserver.h"
#include "server/recordpages.h"
#include "server/subscriberform.h"
#include "server/summarypages.h"

namespace talmor::server {

namespace {

// The page's name ends the path, below whatever folder the console's back-office address
// names.
bool isPage(const QString& path, const char* name) {
    return path.endsWith(QString("/") + name, Qt::CaseInsensitive);
}

} // namespace

std::optional<QByteArray> backOfficePage(PlatformServer& server, const QString& path,
                                         const QUrlQuery& query) {
    const Directory& directory = server.directory();
    const CallStore& calls = server.calls();
    if (isPage(path, "user_call_collect.aspx")) {
        return callRecordsPage(directory, calls, query).toUtf8();
    }
    if (isPage(path, "send_sms_log.aspx")) {
        return smsLogPage(directory, calls, query).toUtf8();
    }
    if (isPage(path, "call_user_list.aspx")) {
        return subscriberSummaryPage(directory, calls, query).toUtf8();
    }
    if (isPage(path, "user_call_check.aspx")) {
        return usagePage(directory, calls, query).toUtf8();
    }
    if (isPage(path, "createuser.aspx")) {
        return SubscriberForm::page(query, pageOperator(directory, query)).toUtf8();
    }
    return std::nullopt;
}

std::optional<FormAnswer> backOfficeForm(PlatformServer& server, const QString& path,
                                         const QUrlQuery& query, const QByteArray& body) {
    if (!isPage(path, "createuser.aspx")) {
        return std::nullopt;
    }
    const auto answer = [](int status, const QJsonObject& object) {
        return FormAnswer{status, QJsonDocument(object).toJson(QJsonDocument::Compact)};
    };
    const Account* self = pageOperator(server.directory(), query);
    if (self == nullptr) {
        return answer(400, {{"error", QString::fromUtf8("manager_id 不是本平台的值班员。")}});
    }
    // A form's body: '+' stands for a space.
    QByteArray encoded = body;
    encoded.replace('+', "%20");
    const QUrlQuery fields(QString::fromUtf8(encoded));
    const auto made = SubscriberForm::create(fields, *self, server.directory());
    if (const auto* error = std::get_if<QString>(&made)) {
        return answer(400, {{"error", *error}});
    }
    const uint32_t id = std::get<uint32_t>(made);
    return answer(200, {{"id", static_cast<qint64>(id)},
                        {"name", fields.queryItemValue("name", QUrl::FullyDecoded).trimmed()}});
}

} // namespace talmor::server
