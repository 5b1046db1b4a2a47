#include "messaging/chat/imageselector.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "messaging/chat/emoticons.h"

namespace talmor {

namespace {
constexpr int kBorder = 1;
constexpr int kInset = 3; // a picture's distance from its cell's corner
} // namespace

CImageSelector::CImageSelector(QWidget* parent) : QWidget(parent, Qt::Popup) {
    setObjectName(QStringLiteral("emoticonPicker"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFixedSize(kColumns * kCell + 2 * kBorder, kRows * kCell + 2 * kBorder);
}

int CImageSelector::cellAt(const QPoint& point) {
    const int x = point.x() - kBorder;
    const int y = point.y() - kBorder;
    if (x < 0 || y < 0 || x >= kColumns * kCell || y >= kRows * kCell) {
        return -1;
    }
    return (y / kCell) * kColumns + x / kCell;
}

void CImageSelector::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    for (int i = 0; i < kEmoticonCount; ++i) {
        const QRect cell(kBorder + (i % kColumns) * kCell, kBorder + (i / kColumns) * kCell, kCell,
                         kCell);
        if (i == hovered_) {
            painter.fillRect(cell, QColor(0xcc, 0xe4, 0xff));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
        }
        painter.drawImage(cell.topLeft() + QPoint(kInset, kInset), EmoticonPicture(i));
    }
}

void CImageSelector::mouseMoveEvent(QMouseEvent* event) {
    const int cell = cellAt(event->position().toPoint());
    if (cell != hovered_) {
        hovered_ = cell;
        update();
    }
}

void CImageSelector::mouseReleaseEvent(QMouseEvent* event) {
    const int cell = cellAt(event->position().toPoint());
    if (cell >= 0 && cell < kEmoticonCount) {
        emit chosen(cell);
        close();
    }
}

bool CImageSelector::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int cell = cellAt(help->pos());
        if (cell >= 0 && cell < kEmoticonCount) {
            QToolTip::showText(help->globalPos(), EmoticonName(cell), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace talmor
