#include "messaging/chat/chathistory.h"

#include "kit/appfolders.h"
#include "storage/historyfile.h"

namespace talmor {

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
    // Kept open from the first message on, following the operator's folder; it lives as long as
    // the console, so the chat windows and the chat receiver, whichever goes last, share it.
    static storage::HistoryFile history;
    return history.append(userFolder(), ToHistoryRecord(message));
}

} // namespace talmor
