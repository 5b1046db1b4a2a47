#include "calls/panemenu.h"

namespace talmor {

const std::vector<std::pair<int, const char*>>& PaneMenuItems() {
    static const std::vector<std::pair<int, const char*>> items = {
        {kMenuCallerInfo, "呼叫客户基本资料"},
        {kMenuCallHistory, "查看客户呼叫历史"},
        {kMenuMapSearch, "通过地图搜索位置"},
    };
    return items;
}

CallerPage PaneMenuPage(int command, uint32_t operatorId, const CallRecord& call) {
    const std::string manager = std::to_string(operatorId);
    switch (command) {
    case kMenuCallerInfo:
        return {"calluserinfo.aspx", {{"manager_id", manager}, {"user_tel", call.phone}}};
    case kMenuCallHistory:
        return {"user_call_history.aspx", {{"manager_id", manager}, {"user_tel", call.phone}}};
    case kMenuMapSearch:
        return {"51ditu.aspx",
                {{"manager_id", manager}, {"city", call.city}, {"keyvalue", call.mapMark}}};
    default:
        return {};
    }
}

} // namespace talmor
