#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// Commands of context menu 418 of the help and SOS panes.
constexpr int kMenuCallerInfo = 33087;  // "呼叫客户基本资料"
constexpr int kMenuCallHistory = 32999; // "查看客户呼叫历史"
constexpr int kMenuMapSearch = 33039;   // "通过地图搜索位置"

// A back-office page about a caller: its path under the back-office base and its query (keys
// and GBK values, in order) before the installation id ("randnum") that ends every query.
struct CallerPage {
    std::string path;
    std::vector<std::pair<std::string, std::string>> query;
};

// The captions of menu 418 in order (UTF-8) with their commands.
const std::vector<std::pair<int, const char*>>& PaneMenuItems();

// The page of menu command `command` for `call`; an empty path for another command.
CallerPage PaneMenuPage(int command, uint32_t operatorId, const CallRecord& call);

} // namespace talmor
