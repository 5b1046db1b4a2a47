#include "calls/journalrecorder.h"

#include "protocol/commands.h"
#include "storage/datafiles.h"

namespace talmor {

using storage::JournalStep;

bool JournalRecorder::open(const std::string& userFolder) {
    if (!enabled_) {
        return false;
    }
    if (journal_.isOpen() && folder_ == userFolder) {
        return true;
    }
    if (folder_ != userFolder) {
        close();
    }
    folder_ = userFolder;
    const bool opened = journal_.open(storage::JoinPath(userFolder, storage::kCallJournalFile));
    setFailing(!opened);
    return opened;
}

JournalRecorder::~JournalRecorder() {
    close();
}

void JournalRecorder::close() {
    if (!waiting_.empty()) {
        drain();
    }
    // What still waits belongs to this operator's journal, never to the next one's.
    waiting_.clear();
    journal_.close();
    folder_.clear();
}

void JournalRecorder::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) {
        close();
        setFailing(false);
    }
}

void JournalRecorder::record(JournalStep step, const CallRecord& call, const std::string& detail) {
    Caller& caller = callers_[call.callId];
    caller = {call.userId, call.userName, static_cast<int32_t>(call.category)};
    write({0, call.callId, caller.id, caller.name, caller.category, step, detail});
}

void JournalRecorder::record(JournalStep step, uint32_t callId, const std::string& detail) {
    const auto known = callers_.find(callId);
    const Caller caller = known == callers_.end() ? Caller{} : known->second;
    write({0, callId, caller.id, caller.name, caller.category, step, detail});
}

void JournalRecorder::onCallRequest(uint16_t command, uint32_t callId, const std::string& detail) {
    switch (command) {
    case CMD_TAKE_CALL:
        record(JournalStep::Taken, callId);
        break;
    case CMD_GIVE_UP_CALL:
        record(JournalStep::GivenUp, callId);
        break;
    case CMD_MISDIAL:
        record(JournalStep::Misdial, callId);
        break;
    case CMD_BLACKLIST:
        record(JournalStep::Blacklisted, callId, detail);
        break;
    case CMD_CALL_REPORT:
        record(JournalStep::ReportSaved, callId, detail);
        break;
    case CMD_SOS_SMS:
        record(JournalStep::SmsSent, callId, detail);
        break;
    case CMD_SERVICE_NOTICE_2:
        record(JournalStep::MerchantNotified, callId, detail);
        break;
    default:
        return;
    }
    // The request leaves once this returns: its step (and those before it) is written now, not
    // at the end of the turn, so a console killed in between never lacks an action it took.
    commitWaiting();
}

void JournalRecorder::write(storage::JournalEntry entry) {
    if (!enabled_) {
        return;
    }
    entry.timeMs = clock_();
    if (waiting_.size() >= kMaxWaiting) {
        // A journal failing for days: the oldest steps go rather than the console's memory.
        waiting_.erase(waiting_.begin(), waiting_.begin() + kMaxWaiting / 10);
    }
    waiting_.push_back(std::move(entry));
    if (!schedule_) {
        drain();
    } else if (!scheduled_) {
        scheduled_ = true;
        schedule_();
    }
}

void JournalRecorder::commitWaiting() {
    scheduled_ = false;
    if (!waiting_.empty()) {
        drain();
    }
}

bool JournalRecorder::query(const storage::JournalFilter& filter,
                            std::vector<storage::JournalEntry>& entries) {
    commitWaiting();
    return journal_.query(filter, entries);
}

void JournalRecorder::drain() {
    if (!waiting_.empty() && journal_.append(waiting_.data(), waiting_.size())) {
        waiting_.clear();
    }
    setFailing(!waiting_.empty() || !journal_.syncing());
}

bool JournalRecorder::retry() {
    if (!enabled_ || folder_.empty()) {
        return !failing_;
    }
    if (!journal_.isOpen()) {
        journal_.open(storage::JoinPath(folder_, storage::kCallJournalFile));
    }
    drain();
    return !failing_;
}

void JournalRecorder::setFailing(bool failing) {
    if (failing == failing_) {
        return;
    }
    failing_ = failing;
    if (onFailure_) {
        onFailure_(failing);
    }
}

} // namespace talmor
