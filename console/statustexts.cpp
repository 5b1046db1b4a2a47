#include "console/statustexts.h"

#include "console/commandids.h"
#include "kit/texts.h"

namespace talmor {

namespace {

// "监控 " and "全国" in GBK: the scope label is built from the profile's GBK texts.
constexpr char kGbkScopePrefix[] = "\xBC\xE0\xBF\xD8 ";
constexpr char kGbkWholeCountry[] = "\xC8\xAB\xB9\xFA";

// The longest start of `text` of at most `limit` bytes that does not split a double-byte GBK
// character.
std::size_t GbkCut(const std::string& text, std::size_t limit) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t width = static_cast<unsigned char>(text[at]) >= 0x81 ? 2 : 1;
        if (at + width > limit) {
            break;
        }
        at += width;
    }
    return at;
}

} // namespace

std::string StatusText(uint32_t status) {
    switch (status) {
    case kStatusOnline:
        return "联机";
    case kStatusOffline:
        return "断开";
    case kStatusAway:
        return "离开";
    case kStatusInvisible:
        return "隐身";
    default:
        return text::kStatusUnknown;
    }
}

std::string ProviderCountText(uint32_t count) {
    return "已注册服务商 " + std::to_string(count) + " 户";
}

std::string CustomerCountText(uint32_t count) {
    return "已注册呼叫客户 " + std::to_string(count) + " 户";
}

std::string HelpTotalText(uint32_t count) {
    return "累计发起求助 " + std::to_string(count) + " 次";
}

std::string SosTotalText(uint32_t count) {
    return "累计发起求救 " + std::to_string(count) + " 次";
}

std::string AreaScopeText(const UserRecord& profile) {
    if (profile.province.empty()) {
        return std::string(kGbkScopePrefix) + kGbkWholeCountry;
    }
    return kGbkScopePrefix + profile.province + " " + profile.city + " " + profile.district + " " +
           profile.street + " " + profile.community;
}

std::string ScopeNoticeText(const std::string& notice) {
    return kGbkScopePrefix + notice;
}

std::vector<AwayEntry> AwayEntries(const std::vector<std::string>& replies) {
    std::vector<AwayEntry> entries;
    int command = cmd::kAwayReplyFirst;
    for (const std::string& reply : replies) {
        AwayEntry entry;
        entry.shown = reply.size() > kAwayShownBytes
                          ? reply.substr(0, GbkCut(reply, kAwayShownBytes)) + "..."
                          : reply;
        entry.command = command++;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string QuitQuestionText(int sosWaiting, int helpWaiting) {
    std::string waiting;
    if (sosWaiting > 0) {
        waiting = std::to_string(sosWaiting) + " 个求救呼叫";
    }
    if (helpWaiting > 0) {
        waiting += (waiting.empty() ? "" : "和 ") + std::to_string(helpWaiting) + " 个求助呼叫";
    }
    if (waiting.empty()) {
        return {};
    }
    return "还有 " + waiting + "等待处理。退出后本机将收不到呼叫，确定要退出吗？";
}

} // namespace talmor
