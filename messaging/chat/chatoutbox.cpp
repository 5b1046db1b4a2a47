#include "messaging/chat/chatoutbox.h"

#include <algorithm>

namespace talmor {

ChatOutbox::ChatOutbox(WindowRegistry& registry, Handler acknowledged, Handler timedOut)
    : RegisteredWindow(registry, kWindowType, 0, 0), acknowledged_(std::move(acknowledged)),
      timedOut_(std::move(timedOut)) {}

void ChatOutbox::add(uint32_t seq, const MessageRecord& message) {
    waiting_[seq] = message;
}

std::size_t ChatOutbox::waitingFor(uint32_t peer) const {
    return static_cast<std::size_t>(
        std::count_if(waiting_.begin(), waiting_.end(),
                      [peer](const auto& entry) { return entry.second.peerId == peer; }));
}

void ChatOutbox::onAcked(uint32_t number) {
    auto it = waiting_.find(number);
    if (it == waiting_.end()) {
        return;
    }
    const MessageRecord message = it->second;
    waiting_.erase(it);
    acknowledged_(message);
}

void ChatOutbox::onTimedOut(uint32_t number) {
    auto it = waiting_.find(number);
    if (it == waiting_.end()) {
        return;
    }
    const MessageRecord message = it->second;
    waiting_.erase(it);
    timedOut_(message);
}

} // namespace talmor
