#include "server/standinpages.h"

namespace talmor::server {

namespace {

QString page(const QString& title, const QString& body) {
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
           title.toHtmlEscaped() + "</title></head>\n<body style=\"font-family: sans-serif\">\n" +
           body + "\n</body></html>\n";
}

// The query's keys stay as the console sent them: a trainer compares them with the address.
QString queryTable(const QUrlQuery& query) {
    const auto items = query.queryItems(QUrl::FullyDecoded);
    if (items.isEmpty()) {
        return QString::fromUtf8("<p>本页没有查询参数。</p>");
    }
    QString rows;
    for (const auto& [key, value] : items) {
        rows +=
            "<tr><td>" + key.toHtmlEscaped() + "</td><td>" + value.toHtmlEscaped() + "</td></tr>\n";
    }
    return QString::fromUtf8("<table border=\"1\" cellpadding=\"4\"><tr><th>参数</th><th>值</th>"
                             "</tr>\n") +
           rows + "</table>";
}

// The login dialog's header pane is 551 x 257 pixels: the page keeps well inside it, so that
// the pane never shows a scroll bar.
QString header() {
    return page("header.html",
                QString::fromUtf8(
                    "<div style=\"margin: 4px 16px; color: #15428b\">\n"
                    "<h2 style=\"margin: 24px 0 4px; font-size: 22px\">"
                    "Quorvane社区智能化管理服务平台</h2>\n"
                    "<p style=\"margin: 0 0 18px; font-size: 14px\">开发与培训平台 · 值班员控制台"
                    "</p>\n"
                    "<p style=\"margin: 0; font-size: 13px; line-height: 1.6; color: #333\">"
                    "本平台的用户、商家和呼叫均为演示数据，供开发测试和值班员培训使用。"
                    "请使用培训帐号登录；遇到真实的求助或求救，请按服务中心的规定处理。</p>\n"
                    "</div>"));
}

// The notice moves 8 pixels four times a second as a layer of its own: the browser draws four
// small frames a second instead of a marquee's frames at the display's rate, which cost an idle
// console a good part of a core under a software renderer.
QString scrollingNotice(const QUrlQuery& query, const QString& notice) {
    bool ok = false;
    const int width = query.queryItemValue("GDWidth").toInt(&ok);
    const QString style = ok && width > 0 ? QString("width: %1px; ").arg(width) : QString();
    return page("guendong.aspx",
                "<div id=\"strip\" style=\"" + style +
                    "overflow: hidden; white-space: nowrap; position: relative; height: 1.3em\">"
                    "<span id=\"notice\" style=\"position: absolute; left: 0; "
                    "will-change: transform\">" +
                    notice.toHtmlEscaped() +
                    "</span></div>\n<script>\n"
                    "(function () {\n"
                    "  var strip = document.getElementById('strip');\n"
                    "  var text = document.getElementById('notice');\n"
                    "  var x = strip.clientWidth;\n"
                    "  setInterval(function () {\n"
                    "    x = x < -text.offsetWidth ? strip.clientWidth : x - 8;\n"
                    "    text.style.transform = 'translateX(' + x + 'px)';\n"
                    "  }, 250);\n"
                    "})();\n</script>");
}

QString agreement() {
    return page("soft/Negotiate.htm",
                QString::fromUtf8("<h2>服务协议（培训平台）</h2>\n"
                                  "<p>本协议是开发与培训平台的示范协议。本平台的值班员应诚信处理"
                                  "用户的每一个呼叫，对服务中获知的呼叫人信息严格保密，并且只为"
                                  "本平台的服务使用控制台。</p>"));
}

QString passwordRecovery(const QUrlQuery& query) {
    return page("forgetpwd/forgetpassword.aspx",
                QString::fromUtf8("<h2>找回密码（培训平台）</h2>\n"
                                  "<form method=\"get\"><p>值班员帐号：<input name=\"id\"></p>"
                                  "<p>登记的手机号码：<input name=\"mobile\"></p>"
                                  "<p><input type=\"submit\" value=\"发送\"></p></form>\n") +
                    queryTable(query));
}

// The call-out page: the number and two buttons; the console closes its call-out window when
// the element "ButtonCancel" is clicked.
QString callOut(const QUrlQuery& query) {
    return page("ecp/ecpCallOut.aspx",
                QString::fromUtf8("<h3>外呼（培训平台）</h3>\n<p>号码：<b>") +
                    query.queryItemValue("c", QUrl::FullyDecoded).toHtmlEscaped() +
                    QString::fromUtf8("</b></p>\n<p><input type=\"button\" id=\"ButtonCall\" "
                                      "value=\"呼叫\"> <input type=\"button\" id=\"ButtonCancel\" "
                                      "value=\"取消\"></p>\n") +
                    queryTable(query));
}

} // namespace

QByteArray standInPage(const QString& path, const QUrlQuery& query, const QString& notice) {
    if (path.endsWith("/header.html", Qt::CaseInsensitive)) {
        return header().toUtf8();
    }
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
    return page(path, "<h2>" + path.toHtmlEscaped() + "</h2>\n" +
                          QString::fromUtf8("<p>培训平台后台的替代页面。</p>\n") +
                          queryTable(query))
        .toUtf8();
}

} // namespace talmor::server
