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
    folder_ = userFolder;
    const bool opened = journal_.open(storage::JoinPath(userFolder, storage::kCallJournalFile));
    setFailing(!opened);
    return opened;
}

void JournalRecorder::close() {
    journal_.close();
    folder_.clear();
    unflushed_ = false;
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
        break;
    }
}

void JournalRecorder::write(storage::JournalEntry entry) {
    if (!enabled_) {
        return;
    }
    entry.timeMs = clock_();
    const bool written = journal_.append(entry);
    unflushed_ = unflushed_ || written;
    setFailing(!written);
}

bool JournalRecorder::flush() {
    if (!unflushed_) {
        return true;
    }
    const bool synced = journal_.flush();
    unflushed_ = !synced;
    return synced;
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
