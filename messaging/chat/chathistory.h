#pragma once

#include <cstdint>
#include <vector>

#include "protocol/records.h"
#include "storage/historystore.h"

namespace talmor {

// The one place where a chat message becomes a history entry and back.
storage::MessageRecord ToHistoryRecord(const MessageRecord& message);
MessageRecord FromHistoryRecord(const storage::MessageRecord& entry);

// Stores a message in the logged-in operator's history; false when it could not be written.
bool StoreInHistory(const MessageRecord& message);

} // namespace talmor
