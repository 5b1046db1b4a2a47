#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// The status-line text of an operator status (UTF-8): "联机", "断开", "离开", "隐身"; "未知" for
// any other value.
std::string StatusText(uint32_t status);

// "已注册服务商 n 户", "已注册呼叫客户 n 户", "累计发起求助 n 次", "累计发起求救 n 次".
std::string ProviderCountText(uint32_t count);
std::string CustomerCountText(uint32_t count);
std::string HelpTotalText(uint32_t count);
std::string SosTotalText(uint32_t count);

// The monitoring scope of an area operator (GBK): "监控 全国" when the province is empty, else
// "监控 " and the five area levels joined with single blanks.
std::string AreaScopeText(const UserRecord& profile);
// "监控 " + the server's notice (GBK), for an operator who watches an organisation.
std::string ScopeNoticeText(const std::string& notice);

// The question before quitting while SOS or help calls wait untaken (UTF-8), naming how many;
// empty when none waits.
std::string QuitQuestionText(int sosWaiting, int helpWaiting);

// One entry of the away submenu: the reply as shown (cut) and its command.
struct AwayEntry {
    std::string shown;
    int command = 0;
};
constexpr std::size_t kAwayShownBytes = 20;
// The automatic replies as the away submenu lists them, in file order from command 40000:
// a reply longer than 20 bytes shows its first 20 bytes (19 when the 20th would split a
// double-byte character) and "...".
std::vector<AwayEntry> AwayEntries(const std::vector<std::string>& replies);

} // namespace talmor
