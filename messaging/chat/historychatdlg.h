#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "protocol/registeredwindow.h"
#include "storage/historystore.h"

class QLineEdit;
class QPushButton;

namespace talmor {

class CHistoryList;
class ConsoleHost;
class CSendMsgDlg;

// The history strip below a chat window (registered window type 10, keyed by the peer's id):
// the latest 100 entries of the peer, older ones a page at a time, a search over all of the
// peer's entries, and menu 195 (copy, cut, delete the chosen entry).
class CHistoryChatDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 10;
    static constexpr std::size_t kPage = 100;
    // The list's 100 pixels plus the row of the search field above it.
    static constexpr int kStripHeight = 130;

    CHistoryChatDlg(ConsoleHost& main, uint32_t peerId, CSendMsgDlg* chat);

    CHistoryList& list() { return *list_; }
    QLineEdit& searchField() { return *search_; }
    QPushButton& olderButton() { return *older_; }
    // The entries the list shows, item i being entry i.
    const std::vector<storage::HistoryEntry>& entries() const { return entries_; }

    // Loads the next older page in front of the shown entries.
    void loadOlder();
    // Shows every entry of the peer containing `text`; empty shows the latest page again.
    void search(const QString& text);
    // Menu 195 on the selected item; false when nothing happened.
    bool copyEntry();
    bool cutEntry();
    bool deleteEntry();
    // Double-click: the item's text into the chat's input.
    void takeIntoInput(int row);

private:
    void showLatest();
    void fill();
    QString itemText(const storage::HistoryEntry& entry) const;

    ConsoleHost& main_;
    CHistoryList* list_;
    QLineEdit* search_;
    QPushButton* older_;
    std::vector<storage::HistoryEntry> entries_;
    bool searching_ = false;
};

// Writes the whole history with `peerId` into a file the operator chooses: UTF-8 text, or HTML
// when the HTML filter is chosen.
void ExportChatHistory(ConsoleHost& main, uint32_t peerId, const QString& peerNick, QWidget* owner);
// The export dialog's filters: text first, then HTML.
QString ExportFilters();
// Where and how an export is written: the chosen filter decides the format, and a name without
// one of that filter's extensions gets its first.
struct ExportTarget {
    QString path;
    bool html = false;
};
ExportTarget ExportTargetOf(const QString& chosenPath, const QString& chosenFilter);
// The export's content for `entries`; the HTML shows the emoticons as pictures (the text keeps
// their codes).
QString ExportText(const std::vector<storage::HistoryEntry>& entries, const QString& ownNick,
                   const QString& peerNick, bool html);

} // namespace talmor
