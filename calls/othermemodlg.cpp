#include "calls/othermemodlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "calls/callcolumns.h"
#include "calls/handlinglayout.h"
#include "calls/handlingtextcheck.h"
#include "calls/handlingtexts.h"
#include "calls/handlingwindows.h"
#include "calls/proclistcolumns.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/phrasemenupopup.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"
#include "storage/textlists.h"

namespace talmor {

namespace {

QLabel* PlainLabel(const QString& text, const QRect& geometry, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

} // namespace

COtherMemoDlg* COtherMemoDlg::Open(ConsoleHost& window, const CallRecord& call) {
    if (!MayOpenHandlingWindow<COtherMemoDlg>(window, call.callId)) {
        return nullptr;
    }
    auto* dialog = new COtherMemoDlg(window, call.callId, call.userName, call.phone, call.callTime,
                                     call.category);
    dialog->show();
    return dialog;
}

COtherMemoDlg::COtherMemoDlg(ConsoleHost& window, uint32_t callId, const std::string& name,
                             const std::string& phone, uint32_t callTime, uint32_t category)
    : QDialog(&window.mainWidget()), RegisteredWindow(window.windows(), kWindowType, callId, 0),
      window_(window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("填写呼叫处理情况"));
    setFixedSize(DialogRect(0, 0, 287, 174).size());

    title_ = PlainLabel(ReportTitle(category), DialogRect(10, 7, 200, 10), this);
    title_->setAutoFillBackground(true);
    QPalette colours = title_->palette();
    colours.setColor(QPalette::WindowText, QColor(112, 173, 33));
    colours.setColor(QPalette::Window, QColor(236, 233, 216));
    title_->setPalette(colours);

    PlainLabel(QStringLiteral("呼叫用户："), DialogRect(10, 22, 45, 10), this);
    PlainLabel(FromGbk(name), DialogRect(55, 22, 225, 10), this)->setObjectName("name");
    PlainLabel(QStringLiteral("联系电话："), DialogRect(10, 36, 45, 10), this);
    PlainLabel(FromGbk(phone), DialogRect(55, 36, 225, 10), this)->setObjectName("phone");
    PlainLabel(QStringLiteral("呼叫时间："), DialogRect(10, 50, 45, 10), this);
    PlainLabel(QString::fromStdString(CallTimeText(callTime)), DialogRect(55, 50, 225, 10), this)
        ->setObjectName("time");

    edit_ = new QPlainTextEdit(this);
    edit_->setGeometry(DialogRect(5, 63, 277, 83));
    auto* phraseButton = new QPushButton(QStringLiteral("快捷短语"), this);
    phraseButton->setGeometry(DialogRect(5, 153, 50, 14));
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setGeometry(DialogRect(175, 153, 50, 14));
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setGeometry(DialogRect(232, 153, 50, 14));

    phrases_ = new PhraseMenuPopup(window, kQuickPhrases, &storage::LoadQuickReplies, *phraseButton,
                                   *edit_);
    connect(ok_, &QPushButton::clicked, this, &COtherMemoDlg::sendReport);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
}

void COtherMemoDlg::sendReport() {
    const std::optional<std::string> report = RequestText(edit_->toPlainText(), window_.ui(), this);
    if (!report) {
        return;
    }
    ok_->setEnabled(false);
    cancel_->setEnabled(false);
    window_.client().callReport(key, *report);
}

void COtherMemoDlg::ReportSaved() {
    ok_->setEnabled(true);
    cancel_->setEnabled(true);
    close();
    window_.ui().notice(&window_.mainWidget(), QString::fromUtf8(text::kReportSaved));
}

} // namespace talmor
