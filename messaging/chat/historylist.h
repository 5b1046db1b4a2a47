#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>

namespace talmor {

// The history entries' list: each item's first line (time and name) in red, its further lines
// in blue, one text line high per line up to 11; the words of a search are marked.
class CHistoryList : public QListWidget {
    Q_OBJECT
public:
    explicit CHistoryList(QWidget* parent);

    // The words marked in every item; empty marks nothing.
    void setMarked(const QString& words);
    const QString& marked() const { return marked_; }

signals:
    // A right click: the item under the cursor is selected (none below the last one).
    void menuRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString marked_;
};

class HistoryItemDelegate : public QStyledItemDelegate {
public:
    explicit HistoryItemDelegate(CHistoryList* list) : QStyledItemDelegate(list), list_(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CHistoryList* list_;
};

} // namespace talmor
