#include "messaging/searchpaging.h"

namespace talmor {

void SearchPaging::restart() {
    replies_.clear();
    current_ = -1;
    cursor_ = 0;
}

bool SearchPaging::addReply(std::vector<ResultRow> rows) {
    if (rows.empty() || stored() >= kMaxReplies) {
        return false;
    }
    cursor_ = rows.back().id;
    replies_.push_back(std::move(rows));
    current_ = stored() - 1;
    return true;
}

bool SearchPaging::next() {
    if (current_ + 1 >= stored()) {
        return false;
    }
    ++current_;
    return true;
}

bool SearchPaging::previous() {
    if (!canGoBack()) {
        return false;
    }
    --current_;
    return true;
}

const std::vector<ResultRow>* SearchPaging::shown() const {
    return current_ >= 0 ? &replies_[static_cast<std::size_t>(current_)] : nullptr;
}

} // namespace talmor
