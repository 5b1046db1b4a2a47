#include "messaging/groupnamedlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/consoleui.h"
#include "kit/gbkguard.h"
#include "kit/gbktext.h"
#include "kit/texts.h"
#include "messaging/contactpictures.h"

namespace talmor {

GroupNameDlg::GroupNameDlg(QWidget* owner, WindowRegistry& registry, uint32_t type, ConsoleUi& ui,
                           const Texts& texts, bool createBanner, const QString& initialName)
    : QDialog(owner), RegisteredWindow(registry, type, 0, 0), ui_(ui), texts_(texts),
      prompt_(new QLabel(QString::fromUtf8(texts.prompt), this)),
      edit_(new QLineEdit(initialName, this)),
      ok_(new QPushButton(QString::fromUtf8(text::kOk), this)),
      cancel_(new QPushButton(QString::fromUtf8(text::kCancel), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(texts.caption));
    if (owner != nullptr) {
        setWindowIcon(owner->windowIcon());
    }
    prompt_->setObjectName(QStringLiteral("prompt"));
    edit_->setObjectName(QStringLiteral("edit1081"));
    edit_->setMaxLength(kMaxNameLength);
    new GbkGuard(edit_);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    QVBoxLayout* body = UnderBanner(*this, GroupBanner(createBanner));
    body->addWidget(prompt_);
    body->addWidget(edit_);
    body->addLayout(buttons);
}

void GroupNameDlg::accept() {
    if (saving_) {
        return;
    }
    const QString typed = edit_->text();
    if (typed.isEmpty()) {
        ui_.error(this, QString::fromUtf8(texts_.empty));
        return;
    }
    const std::optional<std::string> name = ToGbk(typed);
    if (!name) {
        ui_.error(this, NotGbkMessage(FirstNonGbk(typed)));
        return;
    }
    name_ = *name;
    saving_ = true;
    prompt_->setText(QString::fromUtf8(texts_.saving));
    edit_->setEnabled(false);
    ok_->setEnabled(false);
    cancel_->setEnabled(false);
    repaint();
    send(name_);
}

void GroupNameDlg::done(int result) {
    RegisteredWindow::windowType = 0;
    QDialog::done(result);
}

} // namespace talmor
