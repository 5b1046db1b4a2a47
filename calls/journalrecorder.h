#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "protocol/records.h"
#include "protocol/requestbuilder.h"
#include "storage/calljournal.h"

namespace talmor {

// Writes the steps of the operator's calls into the handling journal: those the console sees
// (arrived, shown, sounds, confirmed, withdrawn) through record, and the handling requests it
// sends (taken, given up, misdial, blacklist, report, SMS, merchant notice) as the request
// builder's observer. It remembers each call's caller and category from the first step that
// carried the record, so later steps that know only the call id are filed with them. A write
// that fails never stops the caller: it is reported through the failure handler, once when the
// journal starts failing and once when it works again.
class JournalRecorder : public CallRequestObserver {
public:
    // Milliseconds since 1970-01-01 UTC.
    using Clock = std::function<int64_t()>;
    // `failing` true when a write failed, false when the next one succeeded.
    using FailureHandler = std::function<void(bool failing)>;

    explicit JournalRecorder(Clock clock) : clock_(std::move(clock)) {}

    // Opens the journal of the operator whose folder is `userFolder` (nothing happens when that
    // one is open). A journal that cannot be opened counts as a failed write.
    bool open(const std::string& userFolder);
    void close();
    // Off, nothing is written and nothing is opened.
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }
    void setClock(Clock clock) { clock_ = std::move(clock); }
    bool failing() const { return failing_; }

    void record(storage::JournalStep step, const CallRecord& call, const std::string& detail = {});
    void record(storage::JournalStep step, uint32_t callId, const std::string& detail = {});
    void onCallRequest(uint16_t command, uint32_t callId, const std::string& detail) override;

    // Whether entries were written since the last flush.
    bool unflushed() const { return unflushed_; }
    // Syncs the written entries to the disk.
    bool flush();
    storage::CallJournal& journal() { return journal_; }

private:
    struct Caller {
        uint32_t id = 0;
        std::string name;
        int32_t category = -1;
    };
    void write(storage::JournalEntry entry);
    void setFailing(bool failing);

    Clock clock_;
    FailureHandler onFailure_;
    storage::CallJournal journal_;
    std::string folder_;
    std::unordered_map<uint32_t, Caller> callers_;
    bool enabled_ = true;
    bool failing_ = false;
    bool unflushed_ = false;
};

} // namespace talmor
