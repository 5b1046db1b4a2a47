#include "messaging/chat/historylist.h"

#include <QMouseEvent>
#include <QPainter>

#include "messaging/chat/chatrules.h"
#include "messaging/chat/emoticons.h"

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

std::vector<HistoryRun> HistoryLineRuns(const QString& line, const QFontMetrics& metrics,
                                        int pictureSize) {
    std::vector<HistoryRun> runs;
    int x = 0;
    for (const TextPiece& piece : SplitEmoticons(line)) {
        const int width = piece.emoticon >= 0 ? pictureSize : metrics.horizontalAdvance(piece.text);
        runs.push_back({x, width, piece.text, piece.emoticon});
        x += width;
    }
    return runs;
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
        painter->setPen(i == 0 ? QColor(255, 0, 0) : QColor(0, 0, 255));
        // Emoticons show as their pictures, one text line high, as in the chat display.
        for (const HistoryRun& run : HistoryLineRuns(lines[i], metrics, lineHeight)) {
            const QRect place(line.left() + run.x, line.top(), run.width, lineHeight);
            if (run.emoticon >= 0) {
                painter->drawImage(place, EmoticonPicture(run.emoticon));
                continue;
            }
            // Marks behind every occurrence of the searched words.
            if (!marked.isEmpty()) {
                for (qsizetype at = run.text.indexOf(marked); at >= 0;
                     at = run.text.indexOf(marked, at + marked.size())) {
                    const int x = metrics.horizontalAdvance(run.text.left(at));
                    painter->fillRect(QRect(place.left() + x, place.top(),
                                            metrics.horizontalAdvance(marked), lineHeight),
                                      QColor(255, 230, 0));
                }
            }
            painter->drawText(place, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                              run.text);
        }
    }
}

QSize HistoryItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const int lines = HistoryItemLines(index.data(Qt::DisplayRole).toString());
    return {option.rect.width(), QFontMetrics(option.font).height() * lines};
}

} // namespace talmor
