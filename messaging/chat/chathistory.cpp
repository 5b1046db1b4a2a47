#include "messaging/chat/chathistory.h"

#include "kit/appfolders.h"
#include "storage/historyfile.h"

namespace talmor {

bool StoreInHistory(const MessageRecord& message) {
    // Kept open from the first message on, following the operator's folder; it lives as long as
    // the console, so the chat windows and the chat receiver, whichever goes last, share it.
    static storage::HistoryFile history;
    return history.append(userFolder(), message);
}

} // namespace talmor
