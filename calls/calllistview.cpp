#include "calls/calllistview.h"

#include <QTableView>
#include <QTimer>

#include "calls/callcolumns.h"
#include "widgets/listlook.h"

namespace talmor {

void SetUpCallListView(QTableView& view, const std::vector<CallColumn>& columns) {
    std::vector<int> widths;
    for (const CallColumn& column : columns) {
        widths.push_back(column.width);
    }
    SetUpListLook(view, widths);
}

void NewestRowScroller::request() {
    if (pending_) {
        return;
    }
    pending_ = true;
    // The view is the timer's context: a list destroyed meanwhile is not scrolled.
    QTimer::singleShot(0, &view_, [this] {
        pending_ = false;
        view_.scrollToBottom();
    });
}

} // namespace talmor
