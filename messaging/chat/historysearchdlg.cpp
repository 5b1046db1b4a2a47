#include "messaging/chat/historysearchdlg.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "kit/appfolders.h"
#include "kit/consolehost.h"
#include "kit/gbktext.h"
#include "messaging/chat/chatrules.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/historylist.h"
#include "protocol/contactstore.h"
#include "protocol/ownprofile.h"

namespace talmor {

CHistorySearchDlg::CHistorySearchDlg(ConsoleHost& main) : QDialog(&main.mainWidget()), main_(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("historySearchAll"));
    setWindowTitle(QString::fromUtf8(chat::kSearchAllTitle));
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(QString::fromUtf8(chat::kSearchHint));
    list_ = new CHistoryList(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    resize(520, 420);
    connect(search_, &QLineEdit::returnPressed, this, [this] { search(search_->text()); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row >= 0 && static_cast<std::size_t>(row) < entries_.size()) {
            if (MessagingReceiver* chats = main_.routes().messaging) {
                chats->openChat(entries_[static_cast<std::size_t>(row)].message.peerId,
                                MessagingReceiver::ChatStart::Open);
            }
        }
    });
}

void CHistorySearchDlg::search(const QString& text) {
    entries_.clear();
    list_->clear();
    const std::optional<std::string> gbk = ToGbk(text);
    if (text.isEmpty() || !gbk) {
        return;
    }
    storage::SearchHistory(userFolder(), *gbk, true, 0, entries_);
    const QString ownNick = FromGbk(main_.own().record.nick);
    for (const storage::HistoryEntry& entry : entries_) {
        const ContactRecord* contact = main_.contacts().find(entry.message.peerId);
        const QString peer =
            contact != nullptr ? FromGbk(contact->nick) : QString::number(entry.message.peerId);
        const bool received = (entry.message.flags & kMessageFromPeer) != 0;
        // Whom the entry was exchanged with, then the entry as the strip shows it.
        list_->addItem(QStringLiteral("[") + peer + QStringLiteral("] ") +
                       HistoryItemText(received ? peer : ownNick, entry.message.time,
                                       FromGbk(entry.message.text)));
    }
    list_->setMarked(text);
}

} // namespace talmor
