#pragma once

#include <cstdint>
#include <vector>

#include "protocol/records.h"
#include "storage/historystore.h"

namespace talmor {

// Stores a message in the logged-in operator's history; false when it could not be written.
// The message is written before it returns (a crash of the console loses none); the disk
// syncs run on the history's checkpointer thread, never here.
bool StoreInHistory(const MessageRecord& message);

} // namespace talmor
