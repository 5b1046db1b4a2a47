#include "console/myworkdlg.h"

#include <QKeyEvent>
#include <QPainter>

#include "console/webpane.h"

namespace talmor {

namespace {
const QColor kBackground(236, 233, 216);
} // namespace

CMyWorkDlg::CMyWorkDlg(bool withBrowser, QWidget* parent)
    : QWidget(parent), withBrowser_(withBrowser) {}

void CMyWorkDlg::navigate(const QUrl& url) {
    requested_ = url;
    if (!withBrowser_) {
        return;
    }
    if (pane_ == nullptr) {
        pane_ = new WebPane(this);
        pane_->setGeometry(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
        pane_->show();
    }
    pane_->navigate(url);
}

void CMyWorkDlg::back() {
    if (pane_ != nullptr) {
        pane_->back();
    }
}

void CMyWorkDlg::forward() {
    if (pane_ != nullptr) {
        pane_->forward();
    }
}

void CMyWorkDlg::refresh() {
    if (pane_ != nullptr) {
        pane_->reloadCompletely();
    }
}

void CMyWorkDlg::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kBackground);
}

void CMyWorkDlg::resizeEvent(QResizeEvent*) {
    if (pane_ != nullptr) {
        pane_->setGeometry(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
    }
}

void CMyWorkDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace talmor
