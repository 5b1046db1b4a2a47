#include "server/recordpages.h"

#include <QDate>
#include <QDateTime>

#include <vector>

#include "server/callstore.h"
#include "server/directory.h"
#include "server/pagekit.h"
#include "server/scope.h"

namespace talmor::server {

namespace {

constexpr int kPageRows = 20;

QString outcomeText(const StoredCall& call) {
    switch (call.state) {
    case CallState::Waiting:
        return QString::fromUtf8("等待接听");
    case CallState::Taken:
        return QString::fromUtf8("处理中");
    case CallState::Closed:
        break;
    }
    if (call.outcome == "report") {
        return QString::fromUtf8("已报告");
    }
    if (call.outcome == "merchant notice") {
        return QString::fromUtf8("已通知商户");
    }
    if (call.outcome == "misdial") {
        return QString::fromUtf8("误拨");
    }
    if (call.outcome == "blacklisted") {
        return QString::fromUtf8("列入黑名单");
    }
    return QString::fromStdString(call.outcome).toHtmlEscaped();
}

QString operatorText(const Directory& directory, uint32_t id) {
    if (id == 0) {
        return QString();
    }
    const Account* account = directory.find(id);
    return QString::number(id) + (account != nullptr ? " " + shown(account->profile.nick) : "");
}

// Which page of `total` rows the query asks for (1-based, clamped).
int pageOf(const QUrlQuery& query, int total) {
    const int pages = std::max(1, (total + kPageRows - 1) / kPageRows);
    return std::min(pages, static_cast<int>(queryNumber(query, "page", 1000000).value_or(1)));
}

// Links to the other pages, each keeping the query's filters.
QString pager(const QString& path, QUrlQuery query, int page, int total) {
    const int pages = std::max(1, (total + kPageRows - 1) / kPageRows);
    QString links = QString::fromUtf8("<p>共 %1 条，第 %2/%3 页").arg(total).arg(page).arg(pages);
    const auto link = [&](int target, const char* text) {
        query.removeAllQueryItems("page");
        query.addQueryItem("page", QString::number(target));
        links += QString(" <a href=\"%1?%2\">%3</a>")
                     .arg(path, query.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                          QString::fromUtf8(text));
    };
    if (page > 1) {
        link(page - 1, "上一页");
    }
    if (page < pages) {
        link(page + 1, "下一页");
    }
    return links + "</p>\n";
}

bool sameDay(int64_t ms, const QDate& day) {
    return QDateTime::fromMSecsSinceEpoch(ms).date() == day;
}

QString categoryOptions(const std::optional<uint32_t>& selected) {
    QString options = QString::fromUtf8("<option value=\"\">全部</option>");
    for (uint32_t code = 0; code < 27; ++code) {
        options += QString("<option value=\"%1\"%2>%3</option>")
                       .arg(code)
                       .arg(selected == code ? " selected" : "")
                       .arg(categoryName(code).toHtmlEscaped());
    }
    return options;
}

} // namespace

QString callRecordsPage(const Directory& directory, const CallStore& calls,
                        const QUrlQuery& query) {
    const QString title = QString::fromUtf8("处理记录");
    const Account* self = pageOperator(directory, query);
    if (self == nullptr) {
        return unknownOperatorPage(title);
    }
    const QString dayText = query.queryItemValue("day").trimmed();
    const QDate day = QDate::fromString(dayText, "yyyy-MM-dd");
    const auto category = queryNumber(query, "category", 26);
    const auto handler = queryNumber(query, "operator");
    QString notes;
    if (!dayText.isEmpty() && !day.isValid()) {
        notes += QString::fromUtf8("<p class=\"error\">日期应写成 2026-01-31。</p>\n");
    }
    std::vector<std::pair<uint32_t, const StoredCall*>> rows;
    for (auto it = calls.all().rbegin(); it != calls.all().rend(); ++it) {
        const StoredCall& call = it->second;
        if (!callInScope(call.record, self->profile) ||
            (day.isValid() && !sameDay(call.arrivedMs, day)) ||
            (category && call.record.category != *category) ||
            (handler && call.takenBy != *handler)) {
            continue;
        }
        rows.emplace_back(it->first, &call);
    }
    const int total = static_cast<int>(rows.size());
    const int page = pageOf(query, total);
    QString table = QString::fromUtf8(
        "<table id=\"records\"><tr><th>呼叫编号</th><th>类别</th><th>呼叫人</th><th>电话</th>"
        "<th>呼叫时间</th><th>接听时间</th><th>报告时间</th><th>处理值班员</th><th>状态</th>"
        "<th>报告内容</th></tr>\n");
    for (int i = (page - 1) * kPageRows; i < std::min(total, page * kPageRows); ++i) {
        const auto& [id, call] = rows[static_cast<std::size_t>(i)];
        table +=
            QString("<tr class=\"call\" data-call=\"%1\"><td>%1</td><td>%2</td><td>%3</td>"
                    "<td>%4</td><td>%5</td><td>%6</td><td>%7</td><td>%8</td><td>%9</td>"
                    "<td class=\"report\">%10</td></tr>\n")
                .arg(id)
                .arg(categoryName(call->record.category).toHtmlEscaped(),
                     shown(call->record.userName),
                     shown(call->record.mobile.empty() ? call->record.phone : call->record.mobile),
                     timeText(call->arrivedMs), timeText(call->takenMs), timeText(call->closedMs),
                     operatorText(directory, call->takenBy), outcomeText(*call))
                .arg(shown(call->report));
    }
    table += "</table>\n";
    const QString form =
        QString::fromUtf8("<form method=\"get\" action=\"user_call_collect.aspx\">") +
        carriedFields(query) +
        QString::fromUtf8("日期 <input name=\"day\" size=\"10\" placeholder=\"2026-01-31\" "
                          "value=\"%1\"> 类别 <select name=\"category\">%2</select> 值班员 "
                          "<input name=\"operator\" size=\"6\" value=\"%3\"> "
                          "<input type=\"submit\" value=\"查询\"></form>\n")
            .arg(dayText.toHtmlEscaped(), categoryOptions(category),
                 handler ? QString::number(*handler) : QString());
    return htmlPage(title, "<h2>" + title + "</h2>\n" + form + notes + table +
                               pager("user_call_collect.aspx", query, page, total));
}

QString smsLogPage(const Directory& directory, const CallStore& calls, const QUrlQuery& query) {
    const QString title = QString::fromUtf8("短信日志");
    const Account* self = pageOperator(directory, query);
    if (self == nullptr) {
        return unknownOperatorPage(title);
    }
    std::vector<const SentText*> rows;
    for (auto it = calls.texts().rbegin(); it != calls.texts().rend(); ++it) {
        const auto found = calls.all().find(it->callId);
        if (found != calls.all().end() && callInScope(found->second.record, self->profile)) {
            rows.push_back(&*it);
        }
    }
    const int total = static_cast<int>(rows.size());
    const int page = pageOf(query, total);
    QString table = QString::fromUtf8("<table id=\"texts\"><tr><th>发送时间</th><th>呼叫编号</th>"
                                      "<th>方式</th><th>接收人</th><th>值班员</th><th>内容</th>"
                                      "</tr>\n");
    for (int i = (page - 1) * kPageRows; i < std::min(total, page * kPageRows); ++i) {
        const SentText& text = *rows[static_cast<std::size_t>(i)];
        table += QString("<tr class=\"text\"><td>%1</td><td>%2</td><td>%3</td><td>%4</td>"
                         "<td>%5</td><td>%6</td></tr>\n")
                     .arg(timeText(text.timeMs))
                     .arg(text.callId)
                     .arg(QString::fromUtf8(text.kind == SentText::Kind::FamilySms ? "家属短信"
                                                                                   : "商户通知"),
                          shown(text.addressee), operatorText(directory, text.operatorId),
                          shown(text.text));
    }
    table += "</table>\n";
    return htmlPage(title, "<h2>" + title + "</h2>\n" + table +
                               pager("send_sms_log.aspx", query, page, total));
}

} // namespace talmor::server
