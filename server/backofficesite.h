#pragma once

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

#include <optional>

namespace talmor::server {

class PlatformServer;

// The back-office pages the server makes real from its own store (call records, SMS log,
// subscriber summary, usage and the subscriber form); none for every other path, which keeps
// its stand-in page.
std::optional<QByteArray> backOfficePage(PlatformServer& server, const QString& path,
                                         const QUrlQuery& query);

// A form posted to a back-office page: the status and the JSON answer; none when the path
// takes no form.
struct FormAnswer {
    int status = 200;
    QByteArray json;
};
std::optional<FormAnswer> backOfficeForm(PlatformServer& server, const QString& path,
                                         const QUrlQuery& query, const QByteArray& body);

} // namespace talmor::server
