#include "console/logindlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "console/headerdlg.h"
#include "console/starturl.h"
#include "kit/appfolders.h"
#include "kit/artwork.h"
#include "kit/gbkguard.h"
#include "kit/gbktext.h"
#include "kit/startupmarks.h"
#include "kit/texts.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"

namespace talmor {

namespace {
constexpr int kWidth = 551;
constexpr int kHeaderTop = 57;
constexpr int kHeaderHeight = 257;
constexpr int kFormHeight = 118;
} // namespace

CLoginDlg::CLoginDlg(WindowRegistry& registry, const Deployment& deployment, ConsoleUi& ui,
                     bool withBrowser, QWidget* parent)
    : QDialog(parent), RegisteredWindow(registry, kWindowType, 0, 0), deployment_(deployment),
      ui_(ui) {
    setWindowTitle(QString::fromUtf8(text::kLoginCaption));
    setWindowIcon(art::AppIcon());
    setFixedSize(kWidth, kHeaderTop + kHeaderHeight + kFormHeight);

    header_ = new CHeaderDlg(QUrl(deployment.backOfficeBase() + "header.html"), withBrowser, this);
    header_->setGeometry(0, kHeaderTop, kWidth, kHeaderHeight);

    auto* form = new QWidget(this);
    form->setGeometry(0, kHeaderTop + kHeaderHeight, kWidth, kFormHeight);
    auto* grid = new QGridLayout(form);
    grid->setContentsMargins(48, 14, 48, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);

    account_ = new QComboBox(form);
    account_->setEditable(true);
    account_->setMinimumWidth(180);
    password_ = new QLineEdit(form);
    password_->setEchoMode(QLineEdit::Password);
    guard_ = new GbkGuard(password_);
    savePassword_ = new QCheckBox(QString::fromUtf8(text::kSavePassword), form);
    server_ = new QComboBox(form);
    server_->addItem(QString::fromUtf8(text::kPrimaryServer));
    server_->addItem(QString::fromUtf8(text::kBackupServer));

    const auto label = [form](const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), form);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    grid->addWidget(label(text::kAccountLabel), 0, 0);
    grid->addWidget(account_, 0, 1);
    grid->addWidget(savePassword_, 0, 2);
    grid->addWidget(label(text::kPasswordLabel), 1, 0);
    grid->addWidget(password_, 1, 1);
    grid->addWidget(server_, 1, 2);

    ok_ = new QPushButton(QString::fromUtf8(text::kOk), form);
    cancel_ = new QPushButton(QString::fromUtf8(text::kCancel), form);
    forgot_ = new QPushButton(QString::fromUtf8(text::kForgotPassword), form);
    forgot_->setFlat(true);
    forgot_->setCursor(Qt::PointingHandCursor);
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(forgot_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(ok_, &QPushButton::clicked, this, &CLoginDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CLoginDlg::reject);
    connect(forgot_, &QPushButton::clicked, this, &CLoginDlg::forgotPassword);
    connect(guard_, &GbkGuard::refused, this,
            [this](const QString& message) { ui_.error(this, message); });

    fillAccounts();
    connect(account_, &QComboBox::currentIndexChanged, this, &CLoginDlg::selectAccount);
    if (account_->count() == 0) {
        account_->setFocus();
    } else {
        password_->setFocus();
    }
}

void CLoginDlg::fillAccounts() {
    const std::vector<uint32_t> accounts = storage::LoadAccounts(applicationFolder());
    if (accounts.empty()) {
        // A prompt, not a text: the digits a newcomer types replace it.
        account_->lineEdit()->setPlaceholderText(QString::fromUtf8(text::kEnterAccount));
        server_->setCurrentIndex(0);
        return;
    }
    for (uint32_t id : accounts) {
        account_->addItem(QString::number(id));
    }
    account_->setCurrentIndex(0);
    selectAccount();
}

void CLoginDlg::selectAccount() {
    const uint32_t id = LeadingDecimal(account_->currentText().toStdString());
    setUserFolder(MakeUserFolder(id));
    storage::ConsoleOptions options;
    if (!storage::LoadOptions(userFolder(), options)) {
        server_->setCurrentIndex(0);
        return;
    }
    const bool save = options.bit(storage::kOptionSavePassword);
    savePassword_->setChecked(save);
    server_->setCurrentIndex(options.bit(storage::kOptionBackupServer) ? 1 : 0);
    storage::AccountRecord account;
    if (save && storage::LoadAccountRecord(userFolder(), account)) {
        password_->setText(FromGbk(account.password));
    } else {
        password_->clear();
    }
}

void CLoginDlg::accept() {
    const std::optional<std::string> password = ToGbk(password_->text());
    if (!password) {
        ui_.error(this, NotGbkMessage(FirstNonGbk(password_->text())));
        return;
    }
    choice_.operatorId = LeadingDecimal(account_->currentText().trimmed().toStdString());
    choice_.password = *password;
    choice_.savePassword = savePassword_->isChecked();
    choice_.serverIndex = server_->currentText() == QString::fromUtf8(text::kPrimaryServer) ? 0 : 1;
    QDialog::accept();
}

void CLoginDlg::forgotPassword() {
    ui_.openInBrowser(QUrl(deployment_.backOfficeBase() + "forgetpwd/forgetpassword.aspx"));
}

void CLoginDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Mark("login dialog shown");
}

void CLoginDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::LoginBanner(QSize(kWidth, kHeaderTop)));
    painter.drawPixmap(0, kHeaderTop + kHeaderHeight,
                       art::LoginFormBackground(QSize(kWidth, kFormHeight)));
}

} // namespace talmor
