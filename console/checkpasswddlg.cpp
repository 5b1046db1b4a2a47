#include "console/checkpasswddlg.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "kit/artwork.h"
#include "kit/consoleui.h"
#include "kit/gbkguard.h"
#include "kit/gbktext.h"
#include "kit/texts.h"
#include "widgets/fadinglabel.h"

namespace talmor {

namespace {
constexpr int kWidth = 340;
constexpr int kHeight = 150;
} // namespace

CCheckPassWdDlg::CCheckPassWdDlg(int level, std::string expected, ConsoleUi& ui, QWidget* parent)
    : QDialog(parent), level_(level), expected_(std::move(expected)), ui_(ui) {
    setWindowTitle(QString::fromUtf8(text::kMultiPasswordCaption));
    setWindowIcon(art::AppIcon());
    setFixedSize(kWidth, kHeight);
    prompt_ = new FadingLabel(QColor(0, 51, 153), QColor(255, 247, 134), Qt::transparent, this);
    prompt_->setAutoFillBackground(false);
    prompt_->setGeometry(24, 18, kWidth - 48, 24);
    QFont bold = prompt_->font();
    bold.setBold(true);
    prompt_->setFont(bold);
    entry_ = new QLineEdit(this);
    entry_->setEchoMode(QLineEdit::Password);
    entry_->setGeometry(24, 54, kWidth - 48, 26);
    new GbkGuard(entry_);
    ok_ = new QPushButton(QString::fromUtf8(text::kOk), this);
    cancel_ = new QPushButton(QString::fromUtf8(text::kCancel), this);
    ok_->setGeometry(kWidth - 196, 102, 80, 28);
    cancel_->setGeometry(kWidth - 104, 102, 80, 28);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CCheckPassWdDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CCheckPassWdDlg::reject);
    const int index = level_ >= 1 && level_ <= 4 ? level_ - 1 : 0;
    prompt_->setFadingText(QString::fromUtf8(text::kMultiPasswordPrompts[index]));
}

void CCheckPassWdDlg::accept() {
    const std::optional<std::string> typed = ToGbk(entry_->text());
    if (!typed || *typed != expected_) {
        const int index = level_ >= 1 && level_ <= 4 ? level_ - 1 : 0;
        ui_.error(this, QString::fromUtf8(text::kMultiPasswordWrong[index]));
        return;
    }
    QDialog::accept();
}

void CCheckPassWdDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::PromptBackground(size()));
}

} // namespace talmor
