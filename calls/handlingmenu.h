#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>
#include <string>
#include <vector>

#include "kit/backofficeurl.h"
#include "protocol/records.h"
#include "protocol/sessionrecords.h"

namespace talmor {

// Commands of the handling menus of the processing list.
constexpr int kCmdGiveUp = 33089;       // "无法完成该项处理"
constexpr int kCmdFamilySms = 33004;    // "发送呼叫情况短信" / "填写求救处理情况"
constexpr int kCmdMisdial = 33006;      // "误按或者测试呼叫"
constexpr int kCmdSellerSearch = 32958; // "就近搜索服务商户"
constexpr int kCmdCallerInfo = 33087;   // "呼叫客户基本资料"
constexpr int kCmdCallHistory = 32999;  // "查看客户呼叫历史"
constexpr int kCmdMapSearch = 33039;    // "通过地图搜索位置"
constexpr int kCmdLocate = 33121;       // "定位客户所在地点"
constexpr int kCmdChooseHelper = 33110; // "选择助老员并服务"
constexpr int kCmdBlacklist = 33125;    // "该号码列入黑名单"
constexpr int kCmdReport = 33098;       // "填写呼叫处理报告"

// The help-handling right: it admits the merchant search and the choice of a helper.
constexpr int kHelpHandlingRight = 7;

// One item of a handling menu; command 0 is a separator.
struct HandlingMenuItem {
    int command;
    const char* caption; // UTF-8
    bool enabled;
};

struct HandlingMenu {
    int id;           // 360 help, 309 SOS, 421 the others
    const char* name; // "General", "Special", "cother"
    std::vector<HandlingMenuItem> items;
};

// The menu of `call`'s category with its enabling rules applied: in the help menu the merchant
// search and the helper are grey without the help-handling right; the position of the caller
// is grey when the call has no mobile number.
HandlingMenu HandlingMenuFor(const CallRecord& call, const SeatRights& rights);

// A back-office page of a handling command: its path under the back-office base and its whole
// query, in order (GBK values).
struct HandlingPageAddress {
    std::string path;
    std::vector<QueryItem> query;
};

// The page of 33087, 32999, 33039 or 33110 for `call`; an empty path for another command.
HandlingPageAddress HandlingPage(int command, uint32_t operatorId,
                                 const std::string& installationId, const CallRecord& call);

// The position-map page of `mobile` on the position service at `serviceBase`.
QUrl PositionMapUrl(const QString& serviceBase, const std::string& mobile);

} // namespace talmor
