#pragma once

#include <QString>
#include <QUrlQuery>

namespace talmor::server {

class CallStore;
class Directory;

// 处理记录 (user_call_collect.aspx): the calls of the operator's scope, newest first, with
// their times, handling operator and report; filtered by day, category and handling operator,
// kPageRows to a page.
QString callRecordsPage(const Directory& directory, const CallStore& calls, const QUrlQuery& query);
// 短信日志 (send_sms_log.aspx): the family SMS and merchant notices sent about calls of the
// operator's scope, newest first, paged alike.
QString smsLogPage(const Directory& directory, const CallStore& calls, const QUrlQuery& query);

} // namespace talmor::server
