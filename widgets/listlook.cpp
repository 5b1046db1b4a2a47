#include "widgets/listlook.h"

#include <QHeaderView>
#include <QTableView>

namespace talmor {

namespace {

constexpr int kRowHeight = 18;

} // namespace

void SetUpListLook(QTableView& view, const std::vector<int>& widths) {
    for (std::size_t i = 0; i < widths.size(); ++i) {
        view.setColumnWidth(static_cast<int>(i), widths[i]);
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

} // namespace talmor
