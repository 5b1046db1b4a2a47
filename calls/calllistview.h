#pragma once

#include <vector>

class QTableView;

namespace talmor {

struct CallColumn;

// The console's list look (widgets/listlook.h) with the widths of `columns`.
void SetUpCallListView(QTableView& view, const std::vector<CallColumn>& columns);

// Brings a list's newest row into view once per pass of the event loop, so a burst of calls
// lays the list out once, not per row.
class NewestRowScroller {
public:
    explicit NewestRowScroller(QTableView& view) : view_(view) {}

    void request();

private:
    QTableView& view_;
    bool pending_ = false;
};

} // namespace talmor
