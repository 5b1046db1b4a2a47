#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "storage/historystore.h"

class QLineEdit;

namespace talmor {

class CHistoryList;
class ConsoleHost;

// The search of every contact's chat history (main menu "搜索聊天记录"): each entry containing
// the words, with the contact it was exchanged with, the words marked; a double-click opens
// that contact's chat window.
class CHistorySearchDlg : public QDialog {
    Q_OBJECT
public:
    // The main menu's command.
    static constexpr int kCommand = 33190;

    explicit CHistorySearchDlg(ConsoleHost& main);

    QLineEdit& searchField() { return *search_; }
    CHistoryList& list() { return *list_; }
    const std::vector<storage::HistoryEntry>& entries() const { return entries_; }
    void search(const QString& text);

private:
    ConsoleHost& main_;
    QLineEdit* search_;
    CHistoryList* list_;
    std::vector<storage::HistoryEntry> entries_;
};

} // namespace talmor
