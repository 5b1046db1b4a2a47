#include "server/summarypages.h"

#include <QDate>
#include <QDateTime>

#include <array>
#include <map>

#include "server/calllists.h"
#include "server/callstore.h"
#include "server/directory.h"
#include "server/pagekit.h"
#include "server/scope.h"

namespace talmor::server {

namespace {

// Calls counted as the pages show them: help, SOS, services, all, and those reported.
struct Counts {
    int help = 0;
    int sos = 0;
    int services = 0;
    int reported = 0;

    void add(const StoredCall& call) {
        const uint32_t category = call.record.category;
        (category == kHelpCategory ? help : category == kSosCategory ? sos : services) += 1;
        reported += call.state == CallState::Closed && call.outcome == "report" ? 1 : 0;
    }
    int all() const { return help + sos + services; }
    QString cells() const {
        return QString("<td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td>")
            .arg(help)
            .arg(sos)
            .arg(services)
            .arg(all())
            .arg(reported);
    }
};

QString countHeads() {
    return QString::fromUtf8("<th>求助</th><th>求救</th><th>服务</th><th>合计</th><th>已报告</th>");
}

// Whether a subscriber lives in the operator's scope (an organisation operator: its members).
bool subscriberInScope(const Account& subscriber, const Account& self) {
    if (self.profile.scopeKind == 1 && self.profile.scopeId > 0) {
        return subscriber.orgFlag == 1 && subscriber.orgId == self.profile.scopeId;
    }
    return areaWithin(areaOf(subscriber.profile), areaOf(self.profile));
}

QString sexText(uint8_t sex) {
    return QString::fromUtf8(sex == 1 ? "男" : sex == 2 ? "女" : "");
}

} // namespace

QString subscriberSummaryPage(const Directory& directory, const CallStore& calls,
                              const QUrlQuery& query) {
    const QString title = QString::fromUtf8("呼叫客户汇总");
    const Account* self = pageOperator(directory, query);
    if (self == nullptr) {
        return unknownOperatorPage(title);
    }
    std::map<uint32_t, Counts> byCaller;
    std::map<uint32_t, int64_t> lastCall;
    for (const auto& [id, call] : calls.all()) {
        if (callInScope(call.record, self->profile)) {
            byCaller[call.record.userId].add(call);
            lastCall[call.record.userId] = std::max(lastCall[call.record.userId], call.arrivedMs);
        }
    }
    QString rows;
    int subscribers = 0;
    for (const auto& [id, account] : directory.accounts()) {
        if (account.kind != AccountKind::Subscriber || !subscriberInScope(account, *self)) {
            continue;
        }
        ++subscribers;
        QString family;
        for (const FamilyContact& contact : account.family) {
            family += shown(contact.name) + " " + shown(contact.phone) + "<br>";
        }
        rows +=
            QString("<tr class=\"subscriber\" data-id=\"%1\"><td>%1</td><td>%2</td><td>%3</td>"
                    "<td>%4</td><td>%5</td><td>%6</td><td>%7</td><td>%8</td>")
                .arg(id)
                .arg(shown(account.name.empty() ? account.profile.nick : account.name),
                     sexText(account.profile.sex), QString::number(account.profile.age),
                     shown(account.phone), shown(account.mobile), shown(account.address), family) +
            byCaller[id].cells() + "<td>" + timeText(lastCall[id]) + "</td></tr>\n";
    }
    const QString table =
        QString::fromUtf8("<p>共 %1 位呼叫客户</p>\n<table id=\"subscribers\"><tr><th>编号</th>"
                          "<th>姓名</th><th>性别</th><th>年龄</th><th>电话</th><th>手机</th>"
                          "<th>地址</th><th>家属</th>")
            .arg(subscribers) +
        countHeads() + QString::fromUtf8("<th>最近呼叫</th></tr>\n") + rows + "</table>\n";
    return htmlPage(title, "<h2>" + title + "</h2>\n" + table);
}

QString usagePage(const Directory& directory, const CallStore& calls, const QUrlQuery& query) {
    const QString title = QString::fromUtf8("客户注册使用情况");
    const Account* self = pageOperator(directory, query);
    if (self == nullptr) {
        return unknownOperatorPage(title);
    }
    std::map<QDate, Counts> byDay;
    std::array<int, kCategoryCount> byCategory{};
    Counts total;
    for (const auto& [id, call] : calls.all()) {
        if (!callInScope(call.record, self->profile)) {
            continue;
        }
        byDay[QDateTime::fromMSecsSinceEpoch(call.arrivedMs).date()].add(call);
        total.add(call);
        if (call.record.category < kCategoryCount) {
            ++byCategory[call.record.category];
        }
    }
    QString days = QString::fromUtf8("<h3>每日呼叫</h3>\n<table id=\"days\"><tr><th>日期</th>") +
                   countHeads() + "</tr>\n";
    for (auto it = byDay.rbegin(); it != byDay.rend(); ++it) {
        days += "<tr class=\"day\"><td>" + it->first.toString("yyyy-MM-dd") + "</td>" +
                it->second.cells() + "</tr>\n";
    }
    days += QString::fromUtf8("<tr><th>合计</th>") + total.cells() + "</tr></table>\n";
    QString categories =
        QString::fromUtf8("<h3>各类呼叫</h3>\n<table id=\"categories\"><tr><th>类别</th>"
                          "<th>呼叫数</th></tr>\n");
    for (uint32_t code = 0; code < kCategoryCount; ++code) {
        categories += QString("<tr class=\"category\" data-category=\"%1\"><td>%2</td><td>%3</td>"
                              "</tr>\n")
                          .arg(code)
                          .arg(categoryName(code).toHtmlEscaped())
                          .arg(byCategory[code]);
    }
    categories += "</table>\n";
    return htmlPage(title, "<h2>" + title + "</h2>\n" + days + categories);
}

} // namespace talmor::server
