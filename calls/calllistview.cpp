#include "calls/calllistview.h"

#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include "calls/callcolumns.h"

namespace talmor {

namespace {

constexpr int kRowHeight = 18;

} // namespace

void SetUpCallListView(QTableView& view, const std::vector<CallColumn>& columns) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        view.setColumnWidth(static_cast<int>(i), columns[i].width);
    }
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setIconSize(QSize(16, 16));
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(kRowHeight);
    view.horizontalHeader()->setSectionsClickable(false);
    view.horizontalHeader()->setHighlightSections(false);
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
