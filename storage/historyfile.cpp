#include "storage/historyfile.h"

#include <sys/stat.h>

#include "storage/datafiles.h"
#include "storage/logcheckpointer.h"

namespace talmor::storage {

HistoryFile::HistoryFile() = default;

HistoryFile::~HistoryFile() {
    close();
}

void HistoryFile::close() {
    db_.close();
    // Stopping folds what is left of the log into the file.
    log_.reset();
    path_.clear();
}

bool HistoryFile::opened(const std::string& path) const {
    struct stat file {};
    return db_.isOpen() && path == path_ && ::stat(path.c_str(), &file) == 0 &&
           file.st_dev == device_ && file.st_ino == inode_;
}

bool HistoryFile::open(const std::string& path) {
    close();
    struct stat file {};
    if (!OpenHistoryFile(db_, path) || ::stat(path.c_str(), &file) != 0) {
        db_.close();
        return false;
    }
    path_ = path;
    device_ = file.st_dev;
    inode_ = file.st_ino;
    log_ = std::make_unique<LogCheckpointer>(path);
    return true;
}

bool HistoryFile::append(const std::string& userFolder, const MessageRecord& message) {
    const std::string path = JoinPath(userFolder, kHistoryFile);
    if (!opened(path) && !open(path)) {
        return false;
    }
    if (!AppendTo(db_, message)) {
        close();
        return false;
    }
    return true;
}

} // namespace talmor::storage
