#pragma once

#include <QString>
#include <QUrlQuery>

namespace talmor::server {

class CallStore;
class Directory;

// 呼叫客户汇总 (call_user_list.aspx): the subscribers of the operator's scope with their calls
// counted by kind.
QString subscriberSummaryPage(const Directory& directory, const CallStore& calls,
                              const QUrlQuery& query);
// 客户注册使用情况 (user_call_check.aspx): the calls of the operator's scope counted per day and
// per category.
QString usagePage(const Directory& directory, const CallStore& calls, const QUrlQuery& query);

} // namespace talmor::server
