#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>

#include <vector>

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

// One run of a history line as it is drawn: text, or an emoticon's picture `size` pixels
// square, starting `x` pixels from the line's left edge.
struct HistoryRun {
    int x = 0;
    int width = 0;
    QString text;      // the text, or the emoticon's code
    int emoticon = -1; // the emoticon's index, -1 for text
};
std::vector<HistoryRun> HistoryLineRuns(const QString& line, const QFontMetrics& metrics,
                                        int pictureSize);

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
