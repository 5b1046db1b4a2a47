#include "calls/sendcalldlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include "calls/callcolumns.h"
#include "calls/handlinglayout.h"
#include "calls/handlingpictures.h"
#include "calls/handlingtextcheck.h"
#include "calls/handlingtexts.h"
#include "calls/handlingwindows.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/phrasemenupopup.h"
#include "protocol/contactstore.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"
#include "storage/textlists.h"

namespace talmor {

namespace {

// Here an undisclosed sex reads "保密".
QString NoticeSexText(uint8_t sex) {
    return sex == 0 ? QStringLiteral("保密") : QString::fromUtf8(SexText(sex));
}

void Field(QWidget* parent, const QString& caption, const QRect& captionAt, int id,
           const QString& value, const QRect& valueAt) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(captionAt);
    auto* shown = new QLabel(value, parent);
    shown->setTextFormat(Qt::PlainText);
    shown->setObjectName(QString::number(id));
    shown->setGeometry(valueAt);
}

} // namespace

CSendCallDlg* CSendCallDlg::Open(ConsoleHost& window, uint32_t merchantId, const CallRecord& call) {
    if (!MayOpenHandlingWindow<CSendCallDlg>(window, call.callId)) {
        return nullptr;
    }
    QPointer<CSendCallDlg> dialog = new CSendCallDlg(window, merchantId, call);
    window.ui().information(&window.mainWidget(), QString::fromUtf8(text::kNoticeHowTo));
    // The hint waits for the operator while the server goes on talking: the call may have been
    // closed, and its window with it, meanwhile.
    if (dialog.isNull()) {
        return nullptr;
    }
    dialog->show();
    dialog->raise();
    return dialog;
}

CSendCallDlg::CSendCallDlg(ConsoleHost& window, uint32_t merchantId, const CallRecord& call)
    : QDialog(&window.mainWidget()),
      RegisteredWindow(window.windows(), kWindowType, call.callId, 0), window_(window),
      merchantId_(merchantId), banner_(HandlingPicture(QStringLiteral("sendcall"))) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    if (const ContactRecord* merchant = window.contacts().find(merchantId)) {
        merchantNick_ = merchant->nick;
    }
    setWindowTitle(QStringLiteral("向 ") + FromGbk(merchantNick_) +
                   QStringLiteral(" 发送要求服务信息"));
    setFixedSize(DialogRect(0, 0, 251, 184).size());

    Field(this, QStringLiteral("用户姓名:"), DialogRect(8, 47, 38, 8), 1055, FromGbk(call.userName),
          DialogRect(47, 47, 70, 8));
    Field(this, QStringLiteral("性    别:"), DialogRect(8, 59, 38, 8), 1057,
          NoticeSexText(call.sex), DialogRect(47, 60, 71, 8));
    Field(this, QStringLiteral("呼叫电话:"), DialogRect(8, 73, 38, 8), 1059, FromGbk(call.phone),
          DialogRect(47, 73, 71, 8));
    Field(this, QStringLiteral("省 市 区:"), DialogRect(8, 87, 38, 8), 1061,
          FromGbk(LocationText(call)), DialogRect(47, 88, 196, 8));
    Field(this, QStringLiteral("详细地址:"), DialogRect(8, 101, 38, 8), 1063, FromGbk(call.address),
          DialogRect(47, 102, 196, 8));
    Field(this, QStringLiteral("信息类型:"), DialogRect(123, 47, 38, 8), 1069,
          QStringLiteral("普通"), DialogRect(162, 47, 82, 8));
    Field(this, QStringLiteral("年    龄:"), DialogRect(123, 61, 38, 8), 1070,
          QString::number(call.age), DialogRect(162, 61, 82, 8));
    Field(this, QStringLiteral("手机号码:"), DialogRect(123, 73, 38, 8), 1071, FromGbk(call.mobile),
          DialogRect(162, 73, 81, 8));

    auto* describe = new QLabel(QStringLiteral("简短说明"), this);
    describe->setGeometry(DialogRect(7, 117, 60, 8));
    edit_ = new QPlainTextEdit(this);
    edit_->setGeometry(DialogRect(7, 129, 238, 28));
    auto* phraseButton = new QPushButton(QStringLiteral("短语"), this);
    phraseButton->setGeometry(DialogRect(217, 116, 29, 11));
    phraseButton->setAutoDefault(false);
    sms_ = new QCheckBox(QStringLiteral("给商家短信发送用户资料"), this);
    sms_->setGeometry(DialogRect(7, 169, 104, 10));
    notice_ = new QPushButton(QStringLiteral("完成通知"), this);
    notice_->setGeometry(DialogRect(118, 167, 65, 14));
    notice_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setGeometry(DialogRect(195, 167, 50, 14));
    cancel_->setDefault(true);

    phrases_ = new PhraseMenuPopup(window, kQuickPhrases, &storage::LoadQuickReplies, *phraseButton,
                                   *edit_);
    connect(notice_, &QPushButton::clicked, this, &CSendCallDlg::sendNotice);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
}

QString CSendCallDlg::valueText(int id) const {
    const QLabel* label = findChild<QLabel*>(QString::number(id));
    return label != nullptr ? label->text() : QString();
}

void CSendCallDlg::sendNotice() {
    const std::optional<std::string> description =
        RequestText(edit_->toPlainText(), window_.ui(), this);
    if (!description) {
        return;
    }
    cancel_->setEnabled(false);
    notice_->setEnabled(false);
    ServiceNotice notice;
    notice.callId = key;
    notice.merchantId = merchantId_;
    notice.smsDetails = sms_->isChecked() ? 1 : 0;
    notice.merchantNick = merchantNick_;
    notice.description = *description;
    window_.client().serviceNotice2(notice);
}

void CSendCallDlg::NoticeDone() {
    cancel_->setEnabled(true);
    notice_->setEnabled(true);
    close();
    window_.ui().notice(&window_.mainWidget(), QString::fromUtf8(text::kNoticeDone));
}

void CSendCallDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(0, 0, banner_);
}

} // namespace talmor
