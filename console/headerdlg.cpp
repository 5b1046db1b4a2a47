#include "console/headerdlg.h"

#include <QPainter>
#include <QTimer>

#include "console/webpane.h"

namespace talmor {

CHeaderDlg::CHeaderDlg(const QUrl& page, bool withBrowser, QWidget* parent)
    : QWidget(parent), page_(page), withBrowser_(withBrowser) {}

void CHeaderDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (withBrowser_ && pane_ == nullptr) {
        QTimer::singleShot(0, this, &CHeaderDlg::createBrowser);
    }
}

void CHeaderDlg::createBrowser() {
    if (pane_ != nullptr) {
        return;
    }
    pane_ = new WebPane(this);
    pane_->setGeometry(rect());
    pane_->navigate(page_);
    pane_->show();
}

void CHeaderDlg::resizeEvent(QResizeEvent*) {
    if (pane_ != nullptr) {
        pane_->setGeometry(rect());
    }
}

void CHeaderDlg::paintEvent(QPaintEvent*) {
    // What shows until the page is in.
    QPainter painter(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(232, 240, 250));
    sky.setColorAt(1, QColor(198, 216, 238));
    painter.fillRect(rect(), sky);
}

} // namespace talmor
