#include "messaging/chat/historywriter.h"

namespace talmor {

void HistoryWriter::store(const MessageRecord& message) {
    waiting_.push_back(message);
    retry();
}

bool HistoryWriter::retry() {
    while (!waiting_.empty()) {
        if (!write_(waiting_.front())) {
            setFailing(true);
            return false;
        }
        waiting_.pop_front();
    }
    setFailing(false);
    return true;
}

void HistoryWriter::setFailing(bool failing) {
    if (failing == failing_) {
        return;
    }
    failing_ = failing;
    if (onFailure_) {
        onFailure_(failing);
    }
}

} // namespace talmor
