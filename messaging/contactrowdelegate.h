#pragma once

#include <QStyledItemDelegate>

namespace talmor {

// Paints the rows of the contact list, 18 pixels high over two columns of 18 and 190 pixels:
// a header shows its expand mark at the left edge and its text 18 pixels in; a contact shows
// its status mark at the second column and its nick 20 pixels further, cut with an ellipsis.
// A selected header is filled across the row, a selected contact from 36 pixels in.
class ContactRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kFirstColumn = 18;
    static constexpr int kSecondColumn = 190;
    static constexpr int kNickOffset = 20;
    static constexpr int kContactFillFrom = 36;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace talmor
