#include "server/messagestore.h"

#include <iterator>

namespace talmor::server {

uint64_t MemoryMessageStore::keep(uint32_t recipient, const ServerMessage& message) {
    const uint64_t id = nextId_++;
    messages_[id] = KeptMessage{id, recipient, message};
    std::size_t held = 0;
    // Newest first: what lies beyond the bound is the oldest.
    for (auto it = messages_.rbegin(); it != messages_.rend();) {
        if (it->second.recipient == recipient && ++held > kKeptPerRecipient) {
            it = std::make_reverse_iterator(messages_.erase(std::next(it).base()));
        } else {
            ++it;
        }
    }
    return id;
}

std::vector<KeptMessage> MemoryMessageStore::waitingFor(uint32_t recipient) const {
    std::vector<KeptMessage> waiting;
    for (const auto& [id, kept] : messages_) {
        if (kept.recipient == recipient) {
            waiting.push_back(kept);
        }
    }
    return waiting;
}

} // namespace talmor::server
