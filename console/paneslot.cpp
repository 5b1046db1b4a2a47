#include "console/paneslot.h"

namespace talmor {

PaneSlot::PaneSlot(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, QColor(157, 179, 211));
    setPalette(colours);
}

void PaneSlot::setPane(QWidget* pane) {
    delete pane_;
    pane_ = pane;
    if (pane_ != nullptr) {
        pane_->setParent(this);
        pane_->setGeometry(contentsRect());
        pane_->show();
    }
}

void PaneSlot::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (pane_ != nullptr) {
        pane_->setGeometry(contentsRect());
    }
}

} // namespace talmor
