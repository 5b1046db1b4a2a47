#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

#include "kit/eventroutes.h"
#include "protocol/registeredwindow.h"

class QMenu;

namespace talmor {

class ConsoleHost;
class ContactList;
class ContactRowModel;
class COutListCtrl;

// The contact pane: the list of groups and contacts with its mouse commands and the contact
// menu. It changes nothing itself: membership changes go to the server, and the server's
// events change the list.
class COutListDlg : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 22;

    // Shows the menu at a screen position; returns the chosen command id, 0 for none.
    using MenuRunner = std::function<int(QMenu& menu, const QPoint& at)>;

    COutListDlg(ConsoleHost& window, ContactList& list);
    ~COutListDlg() override;

    COutListCtrl& listCtrl() { return *ctrl_; }
    ContactRowModel& rows() { return *rows_; }
    // The selected group's position, or -1 (the rename and delete commands act on it).
    int selectedGroup() const;
    // Tests choose from the menu in place of the operator.
    void setMenuRunner(MenuRunner runner) { runMenu_ = std::move(runner); }

    // The commands of the contact menu on `contactId`.
    void runCommand(int id, uint32_t contactId);

private:
    void clicked(int row);
    void doubleClicked(int row);
    void rightClicked(int row, const QPoint& at);
    void hovered(int row, const QRect& rowOnScreen);
    void callDropped(uint32_t callId, int row);
    void openChat(uint32_t contactId, MessagingReceiver::ChatStart start);
    void showProfile(uint32_t contactId);
    bool operatorOffline() const;

    ConsoleHost& window_;
    ContactList& list_;
    ContactRowModel* rows_;
    COutListCtrl* ctrl_;
    MenuRunner runMenu_;
};

} // namespace talmor
