#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "protocol/sessionrecords.h"

namespace talmor::server {

// A chat message kept for an operator whose console could not take it yet.
struct KeptMessage {
    uint64_t id = 0; // increases with every message kept, so it orders them
    uint32_t recipient = 0;
    ServerMessage message;
};

// Messages kept for one recipient at most: a sender cannot fill the server's memory or disk
// through an operator who stays away. The oldest goes for a newer one.
constexpr std::size_t kKeptPerRecipient = 200;

// Where kept messages wait until their recipient's console acknowledged them.
class MessageStore {
public:
    virtual ~MessageStore() = default;
    // Keeps the message (dropping the recipient's oldest beyond kKeptPerRecipient); its id, 0
    // when it could not be kept.
    virtual uint64_t keep(uint32_t recipient, const ServerMessage& message) = 0;
    // The messages waiting for `recipient`, oldest first.
    virtual std::vector<KeptMessage> waitingFor(uint32_t recipient) const = 0;
    virtual void forget(uint64_t id) = 0;
};

// Kept for the life of the process.
class MemoryMessageStore : public MessageStore {
public:
    uint64_t keep(uint32_t recipient, const ServerMessage& message) override;
    std::vector<KeptMessage> waitingFor(uint32_t recipient) const override;
    void forget(uint64_t id) override { messages_.erase(id); }

private:
    std::map<uint64_t, KeptMessage> messages_;
    uint64_t nextId_ = 1;
};

// Kept in an SQLite file, so they survive a restart; a new file is readable by its owner only.
// Opening fails with a reason in `error`.
std::unique_ptr<MessageStore> openMessageFile(const std::string& path, std::string& error);

} // namespace talmor::server
