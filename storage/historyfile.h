#pragma once

#include <memory>
#include <string>

#include <sys/types.h>

#include "storage/historystore.h"
#include "storage/userdb.h"

namespace talmor::storage {

class LogCheckpointer;

// The history of one operator's folder, kept open between appends, with the checkpointer that
// syncs its log: a message then costs one commit into the log, not an open of the file, a look
// at its schema and a close. Each append is a commit of its own, as AppendHistory's, so what it
// reported stored survives a crash of the process at once and of the machine once the
// checkpointer synced the log (within a second).
//
// Another handle may read, delete or search the same file meanwhile. A file that was removed or
// replaced since it was opened (the folder changed, somebody deleted the history) is opened
// again at the next append rather than written as a ghost.
class HistoryFile {
public:
    HistoryFile();
    ~HistoryFile();
    HistoryFile(const HistoryFile&) = delete;
    HistoryFile& operator=(const HistoryFile&) = delete;

    // Appends to the history in `userFolder`, opening it (creating it when missing) first when
    // it is not the open one. False when the file cannot be opened or written; the next append
    // opens it again.
    bool append(const std::string& userFolder, const MessageRecord& message);
    void close();

private:
    bool opened(const std::string& path) const;
    bool open(const std::string& path);

    UserDB db_;
    std::unique_ptr<LogCheckpointer> log_;
    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

} // namespace talmor::storage
