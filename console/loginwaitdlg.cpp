#include "console/loginwaitdlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include "kit/artwork.h"
#include "kit/texts.h"
#include "widgets/animatedpicture.h"
#include "widgets/colorlabel.h"

namespace talmor {

namespace {
constexpr int kWidth = 380;
constexpr int kHeight = 150;
} // namespace

CLoginWaitDlg::CLoginWaitDlg(WindowRegistry& registry, const QString& animation, QWidget* parent)
    : QDialog(parent), RegisteredWindow(registry, kWindowType, 0, 0) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(text::kWaitCaption));
    setWindowIcon(art::AppIcon());
    setFixedSize(kWidth, kHeight);
    picture_ = new AnimatedPicture(this);
    picture_->setGeometry(20, 30, 64, 64);
    picture_->setAttribute(Qt::WA_TranslucentBackground);
    text_ = new ColorLabel(QColor(21, 66, 139), QColor(236, 242, 250), this);
    text_->setAutoFillBackground(false);
    text_->setWordWrap(true);
    text_->setGeometry(100, 30, kWidth - 120, 64);
    setProgressText(QString::fromUtf8(text::kWaitVerifying));
    picture_->load(animation);
    picture_->start();
}

void CLoginWaitDlg::setProgressText(const QString& text) {
    text_->setText(text);
    text_->repaint();
}

QString CLoginWaitDlg::progressText() const {
    return text_->text();
}

void CLoginWaitDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit dismissed();
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLoginWaitDlg::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        emit dismissed();
    }
    QDialog::closeEvent(event);
}

void CLoginWaitDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::WaitBackground(size()));
}

} // namespace talmor
