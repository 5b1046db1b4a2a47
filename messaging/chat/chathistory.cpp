#include "messaging/chat/chathistory.h"

#include <memory>

#include "console/appfolders.h"
#include "console/consoleui.h"
#include "storage/datafiles.h"
#include "storage/logcheckpointer.h"

namespace talmor {

namespace {

// Keeps the checkpointer of the logged-in operator's history running from the first message
// stored there on (the file exists then), following the operator's folder; it lives as long as
// the console, so the chat windows and the chat receiver, whichever goes last, share it.
void KeepHistorySynced(const std::string& path) {
    static std::unique_ptr<storage::LogCheckpointer> log;
    if (log == nullptr || log->path() != path) {
        log.reset();
        log = std::make_unique<storage::LogCheckpointer>(path);
    }
}

} // namespace

storage::MessageRecord ToHistoryRecord(const MessageRecord& message) {
    storage::MessageRecord entry;
    entry.kind = message.kind;
    entry.flags = message.flags;
    entry.peerId = message.peerId;
    entry.time = message.time;
    entry.text = message.text;
    entry.font.face = message.font.face;
    entry.font.size = message.font.size;
    entry.font.effects = message.font.effects;
    entry.font.colour = message.font.colour;
    return entry;
}

MessageRecord FromHistoryRecord(const storage::MessageRecord& entry) {
    MessageRecord message;
    message.kind = entry.kind;
    message.flags = entry.flags;
    message.peerId = entry.peerId;
    message.time = entry.time;
    message.text = entry.text;
    message.font.face = entry.font.face;
    message.font.size = entry.font.size;
    message.font.effects = entry.font.effects;
    message.font.colour = entry.font.colour;
    return message;
}

bool StoreInHistory(const MessageRecord& message) {
    const std::string folder = userFolder();
    const bool stored = storage::AppendHistory(folder, ToHistoryRecord(message));
    if (stored) {
        KeepHistorySynced(storage::JoinPath(folder, storage::kHistoryFile));
    }
    return stored;
}

} // namespace talmor
