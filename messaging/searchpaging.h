#pragma once

#include <cstdint>
#include <vector>

#include "kit/searchresults.h"

namespace talmor {

// The replies a search wizard's results page keeps and pages through: up to a hundred stored
// replies in arrival order, the one shown, and the cursor (the id of the last row of the last
// reply that held any) with which the server continues after what it has sent.
class SearchPaging {
public:
    static constexpr int kMaxReplies = 100;

    // A new search: no replies, none shown, cursor 0.
    void restart();
    // A reply arrived. Rows are stored as the next reply and shown; true then. An empty reply,
    // or one past the hundredth, changes nothing: false.
    bool addReply(std::vector<ResultRow> rows);
    // "下页" shows the next stored reply: true. False when none is stored and the server must
    // be asked (with cursor()).
    bool next();
    // "上页": back to the previous stored reply; false when the first is shown.
    bool previous();

    bool canGoBack() const { return current_ > 0; }
    bool canGoOn() const { return current_ < kMaxReplies - 1; }
    // The reply shown, or none before the first.
    const std::vector<ResultRow>* shown() const;
    int current() const { return current_; }
    int stored() const { return static_cast<int>(replies_.size()); }
    uint32_t cursor() const { return cursor_; }

private:
    std::vector<std::vector<ResultRow>> replies_;
    int current_ = -1;
    uint32_t cursor_ = 0;
};

} // namespace talmor
