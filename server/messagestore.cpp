#include "server/messagestore.h"

namespace talmor::server {

uint64_t MemoryMessageStore::keep(uint32_t recipient, const ServerMessage& message) {
    const uint64_t id = nextId_++;
    messages_[id] = KeptMessage{id, recipient, message};
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
