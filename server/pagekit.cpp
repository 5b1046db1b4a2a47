#include "server/pagekit.h"

#include <QDateTime>

#include "server/calllists.h"
#include "server/directory.h"
#include "server/gbk.h"

namespace talmor::server {

namespace {

// The console's names of the 27 categories, in code order.
const char* const kCategoryNames[kCategoryCount] = {
    "求助呼叫", "求救呼叫", "物业管理", "每月团购",     "家电维修", "租房售房", "网购视购",
    "社区医院", "每周娱乐", "社区服务", "Quorvane客服", "商务快餐", "母婴服务", "衣服干洗",
    "家政服务", "证券期货", "家庭装修", "商品配送",     "家庭教育", "安防报警", "机票订房",
    "银行金融", "旅游度假", "土产特产", "保健礼品",     "废旧回收", "电脑维修",
};

const char kStyle[] =
    "body{font-family:sans-serif;font-size:13px;margin:8px;color:#222}"
    "h2{font-size:18px;color:#15428b;margin:4px 0 10px}"
    "table{border-collapse:collapse;margin:6px 0}"
    "th,td{border:1px solid #99bbe8;padding:3px 6px;text-align:left;vertical-align:top;"
    "white-space:nowrap}td.report{white-space:normal;min-width:12em}"
    "th{background:#dfe8f6}"
    ".error{color:#c00;font-weight:bold}.ok{color:#080;font-weight:bold}"
    ".amber{background:#ffbf00}.red{background:#e03c31;color:#fff}";

} // namespace

QString htmlPage(const QString& title, const QString& body, const QString& script) {
    QString page = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
                   title.toHtmlEscaped() + "</title><style>" + QString::fromLatin1(kStyle) +
                   "</style></head>\n<body>\n" + body + "\n";
    if (!script.isEmpty()) {
        page += "<script>\n" + script + "\n</script>\n";
    }
    return page + "</body></html>\n";
}

QString shown(const std::string& gbk) {
    return fromGbk(gbk).toHtmlEscaped();
}

QString timeText(int64_t ms) {
    return ms == 0 ? QString() : QDateTime::fromMSecsSinceEpoch(ms).toString("yyyy-MM-dd HH:mm:ss");
}

QString categoryName(uint32_t category) {
    return category < kCategoryCount ? QString::fromUtf8(kCategoryNames[category])
                                     : QString::number(category);
}

std::optional<uint32_t> queryNumber(const QUrlQuery& query, const char* key, uint32_t max) {
    const QString text = query.queryItemValue(key).trimmed();
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (text.isEmpty() || !ok || value > max) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

QString carriedFields(const QUrlQuery& query) {
    QString fields;
    for (const char* key : {"manager_id", "randnum"}) {
        fields += QString("<input type=\"hidden\" name=\"%1\" value=\"%2\">")
                      .arg(key, query.queryItemValue(key, QUrl::FullyDecoded).toHtmlEscaped());
    }
    return fields;
}

const Account* pageOperator(const Directory& directory, const QUrlQuery& query) {
    const auto id = queryNumber(query, "manager_id");
    const Account* account = id ? directory.find(*id) : nullptr;
    return account != nullptr && account->kind == AccountKind::Operator ? account : nullptr;
}

QString unknownOperatorPage(const QString& title) {
    return htmlPage(
        title, "<h2>" + title.toHtmlEscaped() + "</h2>\n" +
                   QString::fromUtf8("<p class=\"error\">manager_id 不是本平台的值班员。</p>"));
}

} // namespace talmor::server
