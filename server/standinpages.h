#pragma once

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

namespace talmor::server {

// The stand-in for the platform's web back office and other web endpoints: every path gets a
// real page that names the path and shows its query, so a console's browser pane shows what
// it asked for. The login dialog's header, the scrolling notice, the agreement, the call-out and
// the password-recovery page have pages of their own. The pages speak Chinese, as the console
// does. `notice` is the scrolling notice's text.
QByteArray standInPage(const QString& path, const QUrlQuery& query, const QString& notice);

} // namespace talmor::server
