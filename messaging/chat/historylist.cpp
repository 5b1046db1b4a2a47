#include "messaging/chat/historylist.h"

#include <QMouseEvent>
#include <QPainter>

#include "messaging/chat/chatrules.h"

namespace talmor {

CHistoryList::CHistoryList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("historyList"));
    setItemDelegate(new HistoryItemDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(false);
}

void CHistoryList::setMarked(const QString& words) {
    marked_ = words;
    viewport()->update();
}

void CHistoryList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QListWidget::mousePressEvent(event);
        return;
    }
    QListWidgetItem* item = itemAt(event->position().toPoint());
    if (item == nullptr) {
        return;
    }
    setCurrentItem(item);
    emit menuRequested(event->globalPosition().toPoint());
}

void HistoryItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->fillRect(option.rect,
                      option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QStringList lines = index.data(Qt::DisplayRole).toString().split(QStringLiteral("\r\n"));
    const QFontMetrics metrics(option.font);
    const int lineHeight = metrics.height();
    const int shown = HistoryItemLines(index.data(Qt::DisplayRole).toString());
    const QString& marked = list_->marked();
    for (int i = 0; i < shown && i < lines.size(); ++i) {
        const QRect line(option.rect.left() + 2, option.rect.top() + i * lineHeight,
                         option.rect.width() - 4, lineHeight);
        // Marks behind every occurrence of the searched words.
        if (!marked.isEmpty()) {
            for (qsizetype at = lines[i].indexOf(marked); at >= 0;
                 at = lines[i].indexOf(marked, at + marked.size())) {
                const int x = metrics.horizontalAdvance(lines[i].left(at));
                painter->fillRect(QRect(line.left() + x, line.top(),
                                        metrics.horizontalAdvance(marked), lineHeight),
                                  QColor(255, 230, 0));
            }
        }
        painter->setPen(i == 0 ? QColor(255, 0, 0) : QColor(0, 0, 255));
        painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
    }
}

QSize HistoryItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const int lines = HistoryItemLines(index.data(Qt::DisplayRole).toString());
    return {option.rect.width(), QFontMetrics(option.font).height() * lines};
}

} // namespace talmor
