#include "messaging/chat/historychatdlg.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "kit/appfolders.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "messaging/chat/chatrules.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/emoticons.h"
#include "messaging/chat/historylist.h"
#include "messaging/chat/msgedit.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/contactstore.h"
#include "protocol/ownprofile.h"
#include "protocol/registeredwindow.h"

namespace talmor {

CHistoryChatDlg::CHistoryChatDlg(ConsoleHost& main, uint32_t peerId, CSendMsgDlg* chat)
    : QDialog(chat, Qt::Tool), RegisteredWindow(main.windows(), kWindowType, peerId, 0),
      main_(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("history") + QString::number(peerId));
    setWindowTitle(QString::fromUtf8(chat::kHistoryTitle) + QString::number(peerId));
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("historySearch"));
    search_->setPlaceholderText(QString::fromUtf8(chat::kSearchHint));
    search_->setClearButtonEnabled(true);
    older_ = new QPushButton(QString::fromUtf8(chat::kOlder), this);
    older_->setObjectName(QStringLiteral("olderButton"));
    list_ = new CHistoryList(this);
    auto* top = new QHBoxLayout;
    top->addWidget(search_, 1);
    top->addWidget(older_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(list_, 1);

    connect(search_, &QLineEdit::returnPressed, this, [this] { search(search_->text()); });
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            search(text);
        }
    });
    connect(older_, &QPushButton::clicked, this, &CHistoryChatDlg::loadOlder);
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { takeIntoInput(list_->row(item)); });
    connect(list_, &CHistoryList::menuRequested, this, [this](const QPoint& at) {
        QMenu menu(QStringLiteral("SendMsgHistory"), this);
        menu.addAction(QStringLiteral("复制记录"), this, &CHistoryChatDlg::copyEntry);
        menu.addAction(QStringLiteral("剪切记录"), this, &CHistoryChatDlg::cutEntry);
        menu.addAction(QStringLiteral("删除记录"), this, &CHistoryChatDlg::deleteEntry);
        menu.exec(at);
    });
    showLatest();
}

QString CHistoryChatDlg::itemText(const storage::HistoryEntry& entry) const {
    QString name;
    if ((entry.message.flags & kMessageFromPeer) != 0) {
        const ContactRecord* record = main_.contacts().find(key);
        name = record != nullptr ? FromGbk(record->nick) : QString::number(key);
    } else {
        name = FromGbk(main_.own().record.nick);
    }
    return HistoryItemText(name, entry.message.time, FromGbk(entry.message.text));
}

void CHistoryChatDlg::fill() {
    list_->clear();
    for (const storage::HistoryEntry& entry : entries_) {
        list_->addItem(itemText(entry));
    }
}

void CHistoryChatDlg::showLatest() {
    searching_ = false;
    list_->setMarked(QString());
    entries_.clear();
    // Only a contact's history is shown.
    if (main_.contacts().find(key) != nullptr) {
        storage::LoadLatestHistory(userFolder(), key, 0, kPage, entries_);
    }
    fill();
    list_->scrollToBottom();
    older_->setEnabled(entries_.size() == kPage);
}

void CHistoryChatDlg::loadOlder() {
    if (searching_ || entries_.empty()) {
        return;
    }
    std::vector<storage::HistoryEntry> older;
    storage::LoadLatestHistory(userFolder(), key, entries_.front().seq, kPage, older);
    older_->setEnabled(older.size() == kPage);
    for (std::size_t i = 0; i < older.size(); ++i) {
        list_->insertItem(static_cast<int>(i), itemText(older[i]));
    }
    entries_.insert(entries_.begin(), older.begin(), older.end());
}

void CHistoryChatDlg::search(const QString& text) {
    if (search_->text() != text) {
        const QSignalBlocker quiet(search_);
        search_->setText(text);
    }
    if (text.isEmpty()) {
        showLatest();
        return;
    }
    const std::optional<std::string> gbk = ToGbk(text);
    entries_.clear();
    if (gbk && main_.contacts().find(key) != nullptr) {
        storage::SearchHistory(userFolder(), *gbk, false, key, entries_);
    }
    searching_ = true;
    older_->setEnabled(false);
    list_->setMarked(text);
    fill();
}

bool CHistoryChatDlg::copyEntry() {
    QListWidgetItem* item = list_->currentItem();
    if (item == nullptr) {
        return false;
    }
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(item->text());
    // The clipboard may refuse (another program holds it): the copy succeeded only if it
    // holds the text now.
    return clipboard->text() == item->text();
}

bool CHistoryChatDlg::cutEntry() {
    // The entry goes only once it is safely on the clipboard.
    return copyEntry() && deleteEntry();
}

bool CHistoryChatDlg::deleteEntry() {
    const int row = list_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) {
        return false;
    }
    const int64_t seq = entries_[static_cast<std::size_t>(row)].seq;
    delete list_->takeItem(row);
    entries_.erase(entries_.begin() + row);
    return storage::DeleteHistoryEntry(userFolder(), key, seq);
}

void CHistoryChatDlg::takeIntoInput(int row) {
    auto* chat =
        dynamic_cast<CSendMsgDlg*>(main_.windows().findWindow(CSendMsgDlg::kWindowType, key, 0));
    QListWidgetItem* item = list_->item(row);
    if (chat == nullptr || item == nullptr) {
        return;
    }
    chat->input().clear();
    chat->input().insertWithPictures(item->text() + QStringLiteral("\r\n"));
}

namespace {

const QString kTextFilter = QStringLiteral("Text (*.txt)");
const QString kHtmlFilter = QStringLiteral("HTML (*.html *.htm)");

// An emoticon as an image the file carries itself, its code kept as the alternative text.
QString EmoticonImage(int index, const QString& code) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    EmoticonPicture(index).save(&buffer, "PNG");
    return QStringLiteral("<img src=\"data:image/png;base64,") +
           QString::fromLatin1(png.toBase64()) + QStringLiteral("\" alt=\"") +
           code.toHtmlEscaped() +
           QStringLiteral("\" width=\"%1\" height=\"%1\">").arg(kEmoticonSize);
}

QString HtmlOf(const QString& text) {
    QString out;
    for (const TextPiece& piece : SplitEmoticons(text)) {
        if (piece.emoticon >= 0) {
            out += EmoticonImage(piece.emoticon, piece.text);
            continue;
        }
        QString escaped = piece.text.toHtmlEscaped();
        escaped.replace(QStringLiteral("\r\n"), QStringLiteral("<br>\n"));
        out += escaped;
    }
    return out;
}

} // namespace

QString ExportFilters() {
    return kTextFilter + QStringLiteral(";;") + kHtmlFilter;
}

ExportTarget ExportTargetOf(const QString& chosenPath, const QString& chosenFilter) {
    ExportTarget target{chosenPath, chosenFilter == kHtmlFilter};
    const QStringList extensions =
        target.html ? QStringList{QStringLiteral(".html"), QStringLiteral(".htm")}
                    : QStringList{QStringLiteral(".txt")};
    for (const QString& extension : extensions) {
        if (chosenPath.endsWith(extension, Qt::CaseInsensitive)) {
            return target;
        }
    }
    target.path += extensions.front();
    return target;
}

QString ExportText(const std::vector<storage::HistoryEntry>& entries, const QString& ownNick,
                   const QString& peerNick, bool html) {
    QString out;
    if (html) {
        out += QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") +
               peerNick.toHtmlEscaped() + QStringLiteral("</title></head><body>\n");
    }
    for (const storage::HistoryEntry& entry : entries) {
        const bool received = (entry.message.flags & kMessageFromPeer) != 0;
        const QString text = HistoryItemText(received ? peerNick : ownNick, entry.message.time,
                                             FromGbk(entry.message.text));
        if (html) {
            out += QStringLiteral("<p>") + HtmlOf(text) + QStringLiteral("</p>\n");
        } else {
            out += text + QStringLiteral("\r\n\r\n");
        }
    }
    if (html) {
        out += QStringLiteral("</body></html>\n");
    }
    return out;
}

void ExportChatHistory(ConsoleHost& main, uint32_t peerId, const QString& peerNick,
                       QWidget* owner) {
    QString filter = kTextFilter;
    const QString chosen =
        main.ui().chooseSaveFileOfType(owner, QString::fromUtf8(chat::kExportTitle),
                                       peerNick + QStringLiteral(".txt"), ExportFilters(), filter);
    if (chosen.isEmpty()) {
        return;
    }
    const ExportTarget target = ExportTargetOf(chosen, filter);
    std::vector<storage::HistoryEntry> entries;
    storage::LoadLatestHistory(userFolder(), peerId, 0, 0, entries);
    QSaveFile file(target.path);
    const QByteArray bytes =
        ExportText(entries, FromGbk(main.own().record.nick), peerNick, target.html).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        main.ui().information(owner, QString::fromUtf8(chat::kExportFailed));
    }
}

} // namespace talmor
