#include "server/standinpages.h"

namespace talmor::server {

namespace {

QString page(const QString& title, const QString& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title.toHtmlEscaped() +
           "</title></head>\n<body style=\"font-family: sans-serif\">\n" + body +
           "\n</body></html>\n";
}

QString queryTable(const QUrlQuery& query) {
    const auto items = query.queryItems(QUrl::FullyDecoded);
    if (items.isEmpty()) {
        return "<p>No query.</p>";
    }
    QString rows;
    for (const auto& [key, value] : items) {
        rows +=
            "<tr><td>" + key.toHtmlEscaped() + "</td><td>" + value.toHtmlEscaped() + "</td></tr>\n";
    }
    return "<table border=\"1\" cellpadding=\"4\"><tr><th>key</th><th>value</th></tr>\n" + rows +
           "</table>";
}

QString scrollingNotice(const QUrlQuery& query, const QString& notice) {
    bool ok = false;
    const int width = query.queryItemValue("GDWidth").toInt(&ok);
    const QString style = ok && width > 0 ? QString("width: %1px; ").arg(width) : QString();
    return page("guendong.aspx", "<div style=\"" + style +
                                     "overflow: hidden; white-space: nowrap\">"
                                     "<marquee scrollamount=\"3\">" +
                                     notice.toHtmlEscaped() + "</marquee></div>");
}

QString agreement() {
    return page("soft/Negotiate.htm",
                "<h2>Service agreement (training platform)</h2>\n"
                "<p>This is the stand-in agreement of the development and training platform. "
                "Operators of this platform handle calls of subscribers in good faith, keep "
                "what they learn about callers confidential and use the console only for the "
                "service of the platform.</p>");
}

QString passwordRecovery(const QUrlQuery& query) {
    return page("forgetpwd/forgetpassword.aspx",
                "<h2>Password recovery (training platform)</h2>\n"
                "<form method=\"get\"><p>Operator id: <input name=\"id\"></p>"
                "<p>Registered mobile: <input name=\"mobile\"></p>"
                "<p><input type=\"submit\" value=\"Send\"></p></form>\n" +
                    queryTable(query));
}

// The call-out page: the number and two buttons; the console closes its call-out window when
// the element "ButtonCancel" is clicked.
QString callOut(const QUrlQuery& query) {
    return page("ecp/ecpCallOut.aspx",
                "<h3>Call out (training platform)</h3>\n<p>Number: <b>" +
                    query.queryItemValue("c", QUrl::FullyDecoded).toHtmlEscaped() +
                    "</b></p>\n<p><input type=\"button\" id=\"ButtonCall\" value=\"Call\">"
                    " <input type=\"button\" id=\"ButtonCancel\" value=\"Cancel\"></p>\n" +
                    queryTable(query));
}

} // namespace

QByteArray standInPage(const QString& path, const QUrlQuery& query, const QString& notice) {
    if (path.endsWith("guendong.aspx", Qt::CaseInsensitive)) {
        return scrollingNotice(query, notice).toUtf8();
    }
    if (path.endsWith("soft/Negotiate.htm", Qt::CaseInsensitive)) {
        return agreement().toUtf8();
    }
    if (path.endsWith("ecp/ecpCallOut.aspx", Qt::CaseInsensitive)) {
        return callOut(query).toUtf8();
    }
    if (path.endsWith("forgetpwd/forgetpassword.aspx", Qt::CaseInsensitive)) {
        return passwordRecovery(query).toUtf8();
    }
    return page(path, "<h2>" + path.toHtmlEscaped() +
                          "</h2>\n<p>Stand-in page of the training platform's back office.</p>\n" +
                          queryTable(query))
        .toUtf8();
}

} // namespace talmor::server
