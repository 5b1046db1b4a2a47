#pragma once

#include <QWidget>

namespace talmor {

// The emoticon picker: a bordered popup of the 65 pictures in 5 rows of 13 cells of 26 x 26
// pixels, on white. The cell under the mouse is highlighted and tells its name in a tooltip; a
// click chooses it and closes the popup, which also closes when it loses the focus.
class CImageSelector : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 13;
    static constexpr int kRows = 5;
    static constexpr int kCell = 26;

    explicit CImageSelector(QWidget* parent);

    // The cell at `point` (row x 13 + column), or -1.
    static int cellAt(const QPoint& point);
    int hovered() const { return hovered_; }

signals:
    void chosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    int hovered_ = -1;
};

} // namespace talmor
