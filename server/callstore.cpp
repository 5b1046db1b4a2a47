#include "server/callstore.h"

namespace talmor::server {

uint32_t CallStore::add(CallRecord record) {
    const uint32_t id = nextCallId_++;
    record.callId = id;
    StoredCall call;
    call.arrivedMs = now();
    // A call that arrived before it was stored (the seed's) keeps its own time.
    const int64_t recordedMs = static_cast<int64_t>(record.callTime) * 1000;
    if (record.callTime != 0 && recordedMs + 1000 < call.arrivedMs) {
        call.arrivedMs = recordedMs;
    }
    call.record = std::move(record);
    calls_.emplace(id, std::move(call));
    ++waiting_;
    return id;
}

StoredCall* CallStore::find(uint32_t callId) {
    auto found = calls_.find(callId);
    return found == calls_.end() ? nullptr : &found->second;
}

std::vector<const CallRecord*>
CallStore::waitingAfter(uint32_t startId, std::size_t limit,
                        const std::function<bool(const StoredCall&)>& accept) const {
    std::vector<const CallRecord*> page;
    for (auto it = calls_.upper_bound(startId); it != calls_.end() && page.size() < limit; ++it) {
        if (it->second.state == CallState::Waiting && accept(it->second)) {
            page.push_back(&it->second.record);
        }
    }
    return page;
}

std::vector<const CallRecord*> CallStore::takenAfter(uint32_t operatorId, uint32_t startId,
                                                     std::size_t limit) const {
    std::vector<const CallRecord*> page;
    for (auto it = calls_.upper_bound(startId); it != calls_.end() && page.size() < limit; ++it) {
        if (it->second.state == CallState::Taken && it->second.takenBy == operatorId) {
            page.push_back(&it->second.record);
        }
    }
    return page;
}

bool CallStore::take(uint32_t callId, uint32_t operatorId) {
    StoredCall* call = find(callId);
    if (call == nullptr || call->state != CallState::Waiting) {
        return false;
    }
    call->state = CallState::Taken;
    call->takenBy = operatorId;
    call->takenMs = now();
    --waiting_;
    return true;
}

bool CallStore::giveUp(uint32_t callId, uint32_t operatorId) {
    StoredCall* call = find(callId);
    if (call == nullptr || call->state != CallState::Taken || call->takenBy != operatorId) {
        return false;
    }
    call->state = CallState::Waiting;
    call->takenBy = 0;
    ++waiting_;
    return true;
}

bool CallStore::close(uint32_t callId, uint32_t operatorId, const std::string& outcome,
                      const std::string& report) {
    StoredCall* call = find(callId);
    if (call == nullptr || call->state == CallState::Closed ||
        (call->state == CallState::Taken && call->takenBy != operatorId)) {
        return false;
    }
    if (call->state == CallState::Waiting) {
        --waiting_;
    }
    call->state = CallState::Closed;
    call->takenBy = operatorId;
    call->outcome = outcome;
    call->report = report;
    call->closedMs = now();
    return true;
}

void CallStore::recordText(SentText text) {
    text.timeMs = now();
    texts_.push_back(std::move(text));
    while (texts_.size() > kTextLimit) {
        texts_.pop_front();
    }
}

void CallStore::blacklist(const std::string& phone) {
    if (!phone.empty()) {
        blacklist_.insert(phone);
    }
}

} // namespace talmor::server
