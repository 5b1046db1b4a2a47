#pragma once

#include <cstddef>
#include <deque>
#include <functional>

#include "protocol/records.h"

namespace talmor {

// Writes chat messages into the history in the order they come. A message that cannot be
// written (disk full, file locked) waits in memory and goes first, in order, at the next write
// or retry, so none is lost while the history does not work.
class HistoryWriter {
public:
    using Write = std::function<bool(const MessageRecord&)>;
    // Called with true once when writing starts failing, with false once when it works again.
    using FailureHandler = std::function<void(bool failing)>;

    explicit HistoryWriter(Write write) : write_(std::move(write)) {}

    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }
    void store(const MessageRecord& message);
    // Writes the messages that wait; false while the history still fails.
    bool retry();
    std::size_t waiting() const { return waiting_.size(); }
    bool failing() const { return failing_; }

private:
    void setFailing(bool failing);

    Write write_;
    FailureHandler onFailure_;
    std::deque<MessageRecord> waiting_;
    bool failing_ = false;
};

} // namespace talmor
