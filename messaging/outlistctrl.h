#pragma once

#include <QListView>

#include <cstdint>

namespace talmor {

// The owner-drawn list of the contact pane (control 1034). It tells its dialog which row the
// operator clicked, double-clicked, right-clicked or moved over (-1 outside the rows), and
// which contact row a call of the processing list was dropped on.
class COutListCtrl : public QListView {
    Q_OBJECT
public:
    static constexpr int kControlId = 1034;

    explicit COutListCtrl(QWidget* parent = nullptr);

    // The row at `pos` (viewport coordinates), or -1.
    int rowAt(const QPoint& pos) const;
    // The top of `row` in the list, as the quick-action bar places itself by it.
    // The row's rectangle on the screen.
    QRect rowOnScreen(int row) const;

signals:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    void rowRightClicked(int row, const QPoint& globalPos);
    void rowHovered(int row, const QRect& rowOnScreen);
    void callDropped(uint32_t callId, int row);

protected:
    // Rows that change off screen cost no repaint.
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The contact row under a drop, or -1 when the data is no call or the row no contact.
    int dropRow(const QDropEvent& event) const;
};

// The call id a dragged call carries (decimal ASCII), or 0 when the data is not one.
uint32_t DroppedCallId(const QByteArray& data);

} // namespace talmor
