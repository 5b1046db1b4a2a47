#include "calls/specialsmssend.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "calls/handlinglayout.h"
#include "calls/handlingpictures.h"
#include "calls/handlingtextcheck.h"
#include "calls/handlingtexts.h"
#include "calls/handlingwindows.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/phrasemenupopup.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"
#include "storage/textlists.h"

namespace talmor {

namespace {

// Item data roles of a contact's name and phone (GBK bytes).
constexpr int kNameRole = Qt::UserRole;
constexpr int kPhoneRole = Qt::UserRole + 1;

QTreeWidget* ContactTree(const QRect& geometry, QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);
    tree->setIconSize(QSize(16, 16));
    tree->setGeometry(geometry);
    return tree;
}

} // namespace

std::vector<std::string> SmsRecipients(const std::vector<SmsContact>& family,
                                       const std::vector<SmsContact>& others) {
    std::vector<std::string> phones;
    for (const std::vector<SmsContact>* tree : {&family, &others}) {
        for (const SmsContact& contact : *tree) {
            if (contact.ticked) {
                phones.push_back(contact.phone);
            }
        }
    }
    return phones;
}

CSpecialSmsSend* CSpecialSmsSend::Open(ConsoleHost& window, uint32_t callId, uint32_t userId,
                                       const std::string& name, const std::string& phone) {
    if (!MayOpenHandlingWindow<CSpecialSmsSend>(window, callId)) {
        return nullptr;
    }
    auto* dialog = new CSpecialSmsSend(window, callId, userId, name, phone);
    dialog->show();
    return dialog;
}

CSpecialSmsSend::CSpecialSmsSend(ConsoleHost& window, uint32_t callId, uint32_t userId,
                                 const std::string& name, const std::string&)
    : QDialog(&window.mainWidget()), RegisteredWindow(window.windows(), kWindowType, callId, 0),
      window_(window), userId_(userId), banner_(HandlingPicture(QStringLiteral("familysms"))) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("填写求救处理内容或短信告知呼叫人的家属"));
    setWindowIcon(window.mainWidget().windowIcon());
    setFixedSize(DialogRect(0, 0, 304, 257).size());

    title_ = new QLabel(QStringLiteral("处理 ") + FromGbk(name) +
                            QStringLiteral(" 的求救呼叫信息或向他/她的家属发送呼叫告之短信"),
                        this);
    title_->setTextFormat(Qt::PlainText);
    title_->setGeometry(DialogRect(7, 44, 289, 10));
    title_->setAttribute(Qt::WA_TranslucentBackground);

    auto* textFrame = new QGroupBox(this);
    textFrame->setGeometry(DialogRect(8, 60, 160, 139));
    edit_ = new QPlainTextEdit(this);
    edit_->setGeometry(DialogRect(14, 74, 147, 117));
    auto* recipients = new QGroupBox(QStringLiteral("请选择短信发送对像"), this);
    recipients->setGeometry(DialogRect(174, 60, 124, 139));
    family_ = ContactTree(DialogRect(180, 73, 111, 77), this);
    others_ = ContactTree(DialogRect(180, 155, 111, 36), this);

    auto* phraseButton = new QPushButton(QStringLiteral("快捷内容"), this);
    phraseButton->setGeometry(DialogRect(7, 206, 50, 14));
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(DialogRect(0, 228, 303, 1));
    auto* ok = new QPushButton(QStringLiteral("确定(&S)"), this);
    ok->setGeometry(DialogRect(173, 234, 50, 16));
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cancel->setGeometry(DialogRect(248, 234, 50, 16));

    phrases_ =
        new PhraseMenuPopup(window, kSmsPhrases, &storage::LoadSmsReplies, *phraseButton, *edit_);
    connect(ok, &QPushButton::clicked, this, &CSpecialSmsSend::send);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    window.client().getFamily(callId, userId_);
    window.client().getFamily2(callId, userId_);
}

QString CSpecialSmsSend::titleText() const {
    return title_->text();
}

void CSpecialSmsSend::addContact(QTreeWidget* tree, const std::string& name,
                                 const std::string& phone) {
    auto* item = new QTreeWidgetItem(tree);
    item->setText(0, FromGbk(name) + QStringLiteral(" (") + FromGbk(phone) + QStringLiteral(")"));
    item->setData(0, kNameRole, QByteArray::fromStdString(name));
    item->setData(0, kPhoneRole, QByteArray::fromStdString(phone));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setIcon(0, QIcon(HandlingPicture(QStringLiteral("contact"))));
}

void CSpecialSmsSend::AddFamilyContact(const std::string& name, const std::string& phone) {
    addContact(family_, name, phone);
}

void CSpecialSmsSend::AddOtherContact(const std::string& name, const std::string& phone) {
    addContact(others_, name, phone);
}

std::vector<SmsContact> CSpecialSmsSend::contactsOf(const QTreeWidget* tree) {
    std::vector<SmsContact> contacts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        contacts.push_back({item->data(0, kNameRole).toByteArray().toStdString(),
                            item->data(0, kPhoneRole).toByteArray().toStdString(),
                            item->checkState(0) == Qt::Checked});
    }
    return contacts;
}

void CSpecialSmsSend::send() {
    const QString typed = edit_->toPlainText();
    if (typed.isEmpty()) {
        window_.ui().error(this, QString::fromUtf8(text::kSmsTextMissing));
        return;
    }
    const std::optional<std::string> text = RequestText(typed, window_.ui(), this);
    if (!text) {
        return;
    }
    PlatformClient& client = window_.client();
    for (const std::string& phone : SmsRecipients(contactsOf(family_), contactsOf(others_))) {
        client.sosSms(key, phone, *text);
    }
    client.callReport(key, *text);
    close();
}

void CSpecialSmsSend::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(0, 0, banner_);
}

} // namespace talmor
