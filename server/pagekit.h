#pragma once

#include <QString>
#include <QUrlQuery>

#include <cstdint>
#include <optional>
#include <string>

namespace talmor::server {

struct Account;
class Directory;

// What the server's own web pages share: the frame, escaping of every shown text, times and
// the call categories' names. Pages speak Chinese, as the console does.

// A whole page: `body` is HTML already; the title is escaped here.
QString htmlPage(const QString& title, const QString& body, const QString& script = QString());
// A GBK text of the store, decoded and escaped for HTML.
QString shown(const std::string& gbk);
// "yyyy-MM-dd HH:mm:ss" in local time; empty for 0.
QString timeText(int64_t ms);
// The name of a call category as the console shows it ("求救呼叫"); the number outside 0-26.
QString categoryName(uint32_t category);
// A number from the query; none when absent, empty or not a whole number up to `max`.
std::optional<uint32_t> queryNumber(const QUrlQuery& query, const char* key,
                                    uint32_t max = 0xFFFFFFFF);
// The hidden fields that carry the console's manager_id and randnum through a page's forms.
QString carriedFields(const QUrlQuery& query);
// The operator a back-office page is for (its manager_id); none when that is no operator.
const Account* pageOperator(const Directory& directory, const QUrlQuery& query);
// The page shown when manager_id names no operator.
QString unknownOperatorPage(const QString& title);

} // namespace talmor::server
