#include "messaging/contactrowdelegate.h"

#include <QPainter>
#include <QPixmap>

#include "messaging/contactrowmodel.h"

namespace talmor {

void ContactRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QRect row = option.rect;
    const bool header = index.data(ContactRowModel::HeaderRole).toBool();
    painter->save();
    painter->fillRect(row, ContactRowModel::kBackground);
    if (index.data(ContactRowModel::SelectedRole).toBool()) {
        painter->fillRect(header ? row : row.adjusted(kContactFillFrom, 0, 0, 0),
                          ContactRowModel::kSelected);
    }
    const QPixmap mark = index.data(Qt::DecorationRole).value<QPixmap>();
    const int markLeft = header ? row.left() : row.left() + kFirstColumn;
    const int textLeft = header ? row.left() + kFirstColumn : markLeft + kNickOffset;
    painter->drawPixmap(markLeft, row.top() + (row.height() - mark.height()) / 2, mark);
    const QRect textRect(textLeft, row.top(), std::max(0, row.right() - textLeft), row.height());
    QString text = index.data(Qt::DisplayRole).toString();
    if (!header) {
        text = option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width());
    }
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    painter->setFont(option.font);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

QSize ContactRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(kFirstColumn + kSecondColumn, kRowHeight);
}

} // namespace talmor
