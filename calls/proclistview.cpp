#include "calls/proclistview.h"

#include <QDrag>
#include <QMimeData>

namespace talmor {

void ProcListView::startDrag(Qt::DropActions supportedActions) {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty() || !(model()->flags(rows.front()) & Qt::ItemIsDragEnabled)) {
        return;
    }
    QMimeData* call = model()->mimeData({rows.front()});
    if (call == nullptr) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(call);
    drag->setPixmap(rows.front().data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16));
    drag->setHotSpot(QPoint(8, 8));
    drag->exec(supportedActions & Qt::CopyAction, Qt::CopyAction);
}

} // namespace talmor
