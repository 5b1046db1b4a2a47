#include "messaging/outlistctrl.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "kit/eventroutes.h"
#include "messaging/contactrowdelegate.h"
#include "messaging/contactrowmodel.h"

namespace talmor {

COutListCtrl::COutListCtrl(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("list1034"));
    setItemDelegate(new ContactRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    viewport()->setAcceptDrops(true);
}

int COutListCtrl::rowAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

QRect COutListCtrl::rowOnScreen(int row) const {
    if (model() == nullptr) {
        return QRect();
    }
    const QRect rect = visualRect(model()->index(row, 0));
    return QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

void COutListCtrl::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    const QRect shown = viewport()->rect();
    const int first = rowAt(shown.topLeft());
    int last = rowAt(QPoint(0, shown.bottom()));
    if (last < 0 && model() != nullptr) {
        last = model()->rowCount() - 1; // the rows end above the bottom
    }
    if (first < 0 || (topLeft.row() <= last && bottomRight.row() >= first)) {
        QListView::dataChanged(topLeft, bottomRight, roles);
    }
}

void COutListCtrl::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        emit rowClicked(row);
    } else if (event->button() == Qt::RightButton) {
        emit rowRightClicked(row, event->globalPosition().toPoint());
    }
    event->accept();
}

void COutListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit rowDoubleClicked(rowAt(event->position().toPoint()));
    }
    event->accept();
}

void COutListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void COutListCtrl::mouseMoveEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (row >= 0) {
        emit rowHovered(row, rowOnScreen(row));
    }
    event->accept();
}

void COutListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QString::fromLatin1(kCallMimeType))) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void COutListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (dropRow(*event) >= 0) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void COutListCtrl::dropEvent(QDropEvent* event) {
    const int row = dropRow(*event);
    if (row < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit callDropped(DroppedCallId(event->mimeData()->data(QString::fromLatin1(kCallMimeType))),
                     row);
}

int COutListCtrl::dropRow(const QDropEvent& event) const {
    const QMimeData* mime = event.mimeData();
    const QString format = QString::fromLatin1(kCallMimeType);
    if (mime == nullptr || !mime->hasFormat(format) || DroppedCallId(mime->data(format)) == 0) {
        return -1;
    }
    const int row = rowAt(event.position().toPoint());
    if (row < 0 || model()->index(row, 0).data(ContactRowModel::HeaderRole).toBool()) {
        return -1;
    }
    return row;
}

uint32_t DroppedCallId(const QByteArray& data) {
    if (data.isEmpty() || data.size() > 10) {
        return 0;
    }
    for (char c : data) {
        if (c < '0' || c > '9') {
            return 0;
        }
    }
    bool ok = false;
    const qulonglong id = data.toULongLong(&ok);
    return ok && id <= 0xFFFFFFFFull ? static_cast<uint32_t>(id) : 0;
}

} // namespace talmor
