#include "calls/handlingmenu.h"

#include "calls/panemenu.h"
#include "kit/categories.h"

namespace talmor {

namespace {

constexpr HandlingMenuItem kSeparator{0, "", true};

HandlingMenu HelpMenu() {
    return {360,
            "General",
            {{kCmdGiveUp, "无法完成该项处理", true},
             kSeparator,
             {kCmdFamilySms, "发送呼叫情况短信", true},
             {kCmdMisdial, "误按或者测试呼叫", true},
             {kCmdSellerSearch, "就近搜索服务商户", true},
             kSeparator,
             {kCmdCallerInfo, "呼叫客户基本资料", true},
             {kCmdCallHistory, "查看客户呼叫历史", true},
             kSeparator,
             {kCmdMapSearch, "通过地图搜索位置", true},
             {kCmdLocate, "定位客户所在地点", true},
             kSeparator,
             {kCmdChooseHelper, "选择助老员并服务", true},
             kSeparator,
             {kCmdBlacklist, "该号码列入黑名单", true}}};
}

HandlingMenu SosMenu() {
    return {309,
            "Special",
            {{kCmdGiveUp, "无法完成该项处理", true},
             kSeparator,
             {kCmdMisdial, "误按或者测试呼叫", true},
             {kCmdFamilySms, "填写求救处理情况", true},
             kSeparator,
             {kCmdCallerInfo, "呼叫客户基本资料", true},
             {kCmdCallHistory, "查看客户呼叫历史", true},
             kSeparator,
             {kCmdMapSearch, "通过地图搜索位置", true},
             {kCmdLocate, "定位客户所在地点", true},
             kSeparator,
             {kCmdBlacklist, "该号码列入黑名单", true}}};
}

HandlingMenu OtherMenu() {
    return {421,
            "cother",
            {{kCmdGiveUp, "无法完成该项处理", true},
             kSeparator,
             {kCmdMisdial, "误按或者测试呼叫", true},
             {kCmdReport, "填写呼叫处理报告", true},
             kSeparator,
             {kCmdCallerInfo, "呼叫客户基本资料", true},
             {kCmdCallHistory, "查看客户呼叫历史", true},
             kSeparator,
             {kCmdMapSearch, "通过地图搜索位置", true}}};
}

} // namespace

HandlingMenu HandlingMenuFor(const CallRecord& call, const SeatRights& rights) {
    HandlingMenu menu = call.category == static_cast<uint32_t>(kHelpCategory)  ? HelpMenu()
                        : call.category == static_cast<uint32_t>(kSosCategory) ? SosMenu()
                                                                               : OtherMenu();
    const bool helpRight = rights.granted(kHelpHandlingRight);
    for (HandlingMenuItem& item : menu.items) {
        if (menu.id == 360 &&
            (item.command == kCmdSellerSearch || item.command == kCmdChooseHelper)) {
            item.enabled = helpRight;
        }
        if (item.command == kCmdLocate) {
            item.enabled = !call.mobile.empty();
        }
    }
    return menu;
}

HandlingPageAddress HandlingPage(int command, uint32_t operatorId,
                                 const std::string& installationId, const CallRecord& call) {
    if (command == kCmdChooseHelper) {
        return {"check_hop_user_list.aspx",
                {{"manager_id", Decimal(operatorId)},
                 {"randnum", installationId},
                 {"call_id", Decimal(call.callId)}}};
    }
    // The caller's pages are those of the help and SOS panes' menu.
    const CallerPage page = PaneMenuPage(command, operatorId, call);
    if (page.path.empty()) {
        return {};
    }
    HandlingPageAddress address{page.path, page.query};
    address.query.emplace_back("randnum", installationId);
    return address;
}

QUrl PositionMapUrl(const QString& serviceBase, const std::string& mobile) {
    return PageUrl(serviceBase, "/posmapbar/default.aspx", {{"pMobile", mobile}});
}

} // namespace talmor
