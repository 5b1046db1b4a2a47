#pragma once

#include <vector>

class QTableView;

namespace talmor {

struct CallColumn;

// The look the call panes and the processing list share: the widths of `columns`, whole rows
// selected one at a time, no editing, no grid or wrapping, 16-pixel row images, headers that
// neither sort nor highlight, and fixed row heights, which keep a list of thousands of calls
// cheap to lay out.
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
