#pragma once

#include <QFrame>

namespace talmor {

// A place of the main window's layout that holds one pane. The pane of another part of the
// console (call panes, contact list, processing list, work pane) is put in and fills it; an
// empty slot shows the pane background.
class PaneSlot : public QFrame {
    Q_OBJECT
public:
    explicit PaneSlot(QWidget* parent = nullptr);

    // Takes `pane` (owned from now on), replacing the one held.
    void setPane(QWidget* pane);
    QWidget* pane() const { return pane_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* pane_ = nullptr;
};

} // namespace talmor
