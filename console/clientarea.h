#pragma once

#include <QWidget>

namespace talmor {

// The main window's client area: the background, the frame along the bottom, and a relayout
// on every size change.
class ClientArea : public QWidget {
    Q_OBJECT
public:
    explicit ClientArea(QWidget* parent = nullptr);

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace talmor
