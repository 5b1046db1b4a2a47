#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "protocol/records.h"

namespace talmor::server {

enum class CallState { Waiting, Taken, Closed };

// A call as the server keeps it: the record, who holds it and how it ended.
struct StoredCall {
    CallRecord record;
    CallState state = CallState::Waiting;
    uint32_t takenBy = 0;
    std::string outcome; // "report", "misdial", "blacklisted" once closed
    std::string report;  // the operator's report text (GBK)
    int64_t arrivedMs = 0;
    int64_t takenMs = 0; // the latest take; 0 when never taken
    int64_t closedMs = 0;
};

// A text a console sent out about a call: an SMS to a subscriber's family or a notice to a
// merchant (texts GBK).
struct SentText {
    enum class Kind { FamilySms, MerchantNotice };
    Kind kind = Kind::FamilySms;
    int64_t timeMs = 0;
    uint32_t callId = 0;
    uint32_t operatorId = 0;
    std::string addressee; // a phone number, or the merchant's name
    std::string text;
};

// Every call of the run, by increasing callId, so that a list continues after the last id a
// console received.
class CallStore {
public:
    // The clock that stamps arrivals, takes, closes and sent texts (milliseconds); without one
    // every stamp is 0.
    void setClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

    // Stores a waiting call and returns its new callId (the record's callId is ignored).
    uint32_t add(CallRecord record);

    StoredCall* find(uint32_t callId);
    const std::map<uint32_t, StoredCall>& all() const { return calls_; }
    // How many calls wait for an operator.
    std::size_t waitingCount() const { return waiting_; }

    // Waiting calls with an id above `startId` that `accept` takes, in id order, at most `limit`.
    std::vector<const CallRecord*>
    waitingAfter(uint32_t startId, std::size_t limit,
                 const std::function<bool(const StoredCall&)>& accept) const;
    // Calls held by `operatorId` with an id above `startId`, in id order, at most `limit`.
    std::vector<const CallRecord*> takenAfter(uint32_t operatorId, uint32_t startId,
                                              std::size_t limit) const;

    // A waiting call becomes the operator's; false when it is not waiting.
    bool take(uint32_t callId, uint32_t operatorId);
    // A call the operator holds waits again; false when the operator does not hold it.
    bool giveUp(uint32_t callId, uint32_t operatorId);
    // Ends a call the operator holds (or one still waiting); false otherwise.
    bool close(uint32_t callId, uint32_t operatorId, const std::string& outcome,
               const std::string& report = std::string());

    bool isBlacklisted(const std::string& phone) const { return blacklist_.count(phone) != 0; }
    void blacklist(const std::string& phone);

    // The texts sent, oldest first; the oldest go beyond kTextLimit.
    static constexpr std::size_t kTextLimit = 10000;
    void recordText(SentText text);
    const std::deque<SentText>& texts() const { return texts_; }

private:
    std::map<uint32_t, StoredCall> calls_;
    int64_t now() const { return clock_ ? clock_() : 0; }

    std::set<std::string> blacklist_;
    std::deque<SentText> texts_;
    std::function<int64_t()> clock_;
    uint32_t nextCallId_ = 1;
    std::size_t waiting_ = 0;
};

} // namespace talmor::server
