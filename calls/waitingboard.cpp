#include "calls/waitingboard.h"

#include <algorithm>
#include <cstdio>

#include "kit/categories.h"

namespace talmor {

namespace {

int64_t RepeatPeriodMs(int category) {
    if (category == kSosCategory) {
        return WaitingBoard::kSosRepeatMs;
    }
    return category == kHelpCategory ? WaitingBoard::kHelpRepeatMs : 0;
}

} // namespace

void WaitingBoard::sync(const std::vector<WaitingCall>& waiting, int64_t nowMs) {
    std::unordered_map<uint32_t, Entry> next;
    next.reserve(waiting.size());
    for (const WaitingCall& call : waiting) {
        const auto known = calls_.find(call.callId);
        if (known != calls_.end()) {
            next.emplace(call.callId, known->second);
            continue;
        }
        Entry entry;
        entry.category = call.category;
        entry.sinceMs = std::min(call.sinceMs, nowMs);
        const int64_t period = RepeatPeriodMs(call.category);
        const int64_t shown = call.shownMs > 0 ? std::min(call.shownMs, nowMs) : nowMs;
        entry.nextRepeatMs = period > 0 ? shown + period : 0;
        entry.order = ++seen_;
        next.emplace(call.callId, entry);
    }
    calls_.swap(next);
}

RealertDue WaitingBoard::due(int64_t nowMs) {
    RealertDue result;
    std::vector<std::pair<uint64_t, uint32_t>> dueCalls;
    for (auto& [callId, entry] : calls_) {
        if (entry.nextRepeatMs == 0 || entry.nextRepeatMs > nowMs) {
            continue;
        }
        const int64_t period = RepeatPeriodMs(entry.category);
        entry.nextRepeatMs += period;
        if (entry.nextRepeatMs <= nowMs) {
            entry.nextRepeatMs = nowMs + period;
        }
        (entry.category == kSosCategory ? result.sosSound : result.helpSound) = true;
        dueCalls.emplace_back(entry.order, callId);
    }
    std::sort(dueCalls.begin(), dueCalls.end());
    for (const auto& [order, callId] : dueCalls) {
        result.calls.push_back(callId);
    }
    return result;
}

bool WaitingBoard::alarmWaits() const {
    return std::any_of(calls_.begin(), calls_.end(),
                       [](const auto& each) { return each.second.nextRepeatMs != 0; });
}

int64_t WaitingBoard::waitedSeconds(uint32_t callId, int64_t nowMs) const {
    const auto found = calls_.find(callId);
    if (found == calls_.end()) {
        return -1;
    }
    return std::max<int64_t>(0, (nowMs - found->second.sinceMs) / 1000);
}

int64_t WaitingBoard::oldestSeconds(int64_t nowMs) const {
    int64_t oldest = -1;
    for (const auto& [callId, entry] : calls_) {
        oldest = std::max(oldest, std::max<int64_t>(0, (nowMs - entry.sinceMs) / 1000));
    }
    return oldest;
}

WaitingLevel WaitingBoard::level(int64_t nowMs) const {
    int64_t sos = -1;
    for (const auto& [callId, entry] : calls_) {
        if (entry.category == kSosCategory) {
            sos = std::max(sos, (nowMs - entry.sinceMs) / 1000);
        }
    }
    if (sos > kRedSeconds) {
        return WaitingLevel::Red;
    }
    return sos > kAmberSeconds ? WaitingLevel::Amber : WaitingLevel::Calm;
}

std::string WaitingText(int64_t seconds) {
    seconds = std::max<int64_t>(0, seconds);
    const long long hours = seconds / 3600;
    const long long minutes = seconds / 60 % 60;
    const long long rest = seconds % 60;
    char text[64];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%lld小时%02lld分%02lld秒", hours, minutes, rest);
    } else if (minutes > 0) {
        std::snprintf(text, sizeof text, "%lld分%02lld秒", minutes, rest);
    } else {
        std::snprintf(text, sizeof text, "%lld秒", rest);
    }
    return text;
}

std::string OldestWaitingText(int64_t seconds) {
    return seconds < 0 ? std::string() : "最久等待 " + WaitingText(seconds);
}

} // namespace talmor
