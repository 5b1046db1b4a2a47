#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/records.h"
#include "protocol/requestbuilder.h"
#include "storage/calljournal.h"

namespace talmor {

// Writes the steps of the operator's calls into the handling journal: those the console sees
// (arrived, shown, sounds, confirmed, withdrawn) through record, and the handling requests it
// sends (taken, given up, misdial, blacklist, report, SMS, merchant notice) as the request
// builder's observer. It remembers each call's caller and category from the first step that
// carried the record, so later steps that know only the call id are filed with them. Each step
// is written before record returns, or, with a batch scheduler, in one transaction with the
// other steps of the same turn of the event loop at its end (a commit per step would cost a
// storm of calls hundreds of milliseconds). A write that fails never stops the caller: the step
// waits in memory and goes first, in order, at the next write or retry, and the failure is reported
// through the failure handler, once when the journal starts failing (a write or the journal's
// sync to the disk) and once when it works again.
class JournalRecorder : public CallRequestObserver {
public:
    // Milliseconds since 1970-01-01 UTC.
    using Clock = std::function<int64_t()>;
    // `failing` true when a write failed, false when the next one succeeded.
    using FailureHandler = std::function<void(bool failing)>;

    explicit JournalRecorder(Clock clock) : clock_(std::move(clock)) {}
    // Writes the steps that wait.
    ~JournalRecorder() override;
    JournalRecorder(const JournalRecorder&) = delete;
    JournalRecorder& operator=(const JournalRecorder&) = delete;

    // Opens the journal of the operator whose folder is `userFolder` (nothing happens when that
    // one is open). A journal that cannot be opened counts as a failed write.
    bool open(const std::string& userFolder);
    void close();
    // Off, nothing is written and nothing is opened.
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }
    // Asked to call commitWaiting once the current turn of the event loop is done; without it,
    // every step is written at once.
    void setBatchScheduler(std::function<void()> schedule) { schedule_ = std::move(schedule); }
    void setClock(Clock clock) { clock_ = std::move(clock); }
    bool failing() const { return failing_; }

    void record(storage::JournalStep step, const CallRecord& call, const std::string& detail = {});
    void record(storage::JournalStep step, uint32_t callId, const std::string& detail = {});
    void onCallRequest(uint16_t command, uint32_t callId, const std::string& detail) override;

    // Steps that wait for the journal, kept in memory at most.
    static constexpr std::size_t kMaxWaiting = 200000;
    std::size_t waiting() const { return waiting_.size(); }
    // Writes the steps that wait (opening the journal again when it could not open) and checks
    // that the journal reaches the disk; the console calls it every second. False while failing.
    bool retry();
    // Writes the steps that wait now.
    void commitWaiting();
    // The journal's entries that pass `filter` (steps that wait written first).
    bool query(const storage::JournalFilter& filter, std::vector<storage::JournalEntry>& entries);
    storage::CallJournal& journal() { return journal_; }

private:
    struct Caller {
        uint32_t id = 0;
        std::string name;
        int32_t category = -1;
    };
    void write(storage::JournalEntry entry);
    void drain();
    void setFailing(bool failing);

    Clock clock_;
    FailureHandler onFailure_;
    std::function<void()> schedule_;
    bool scheduled_ = false;
    storage::CallJournal journal_;
    std::string folder_;
    std::unordered_map<uint32_t, Caller> callers_;
    std::vector<storage::JournalEntry> waiting_;
    bool enabled_ = true;
    bool failing_ = false;
};

} // namespace talmor
