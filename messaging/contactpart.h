#pragma once

#include <QObject>

#include <set>

#include "kit/eventroutes.h"
#include "messaging/contactactions.h"
#include "messaging/contactlist.h"

namespace talmor {

class ConsoleHost;
class COutListDlg;

// The receiver of the contact and group events and of the group commands of the main menu:
// it keeps the ContactList, puts the contact pane into the main window, opens the group
// dialogs and sends the requests the events call for. It lives as long as the window.
class ContactPart : public QObject, public ContactReceiver {
    Q_OBJECT
public:
    explicit ContactPart(ConsoleHost& window);

    ContactList& list() { return list_; }
    COutListDlg& pane() { return *pane_; }

    // The console's one way of adding a user as a contact (search results, approved requests):
    // request 19 with the default group's id, or with 0 to let the server choose, unless the
    // check refuses. The contact joins the list when the server confirms.
    AddCheck requestAdd(uint32_t userId, bool toDefaultGroup);

    void onGroupList(const std::vector<GroupEntry>& groups) override;
    void onContactsLoaded(const std::vector<ContactEntry>& entries) override;
    void onGroupCreated(uint32_t groupId) override;
    void onGroupNameChanged(uint32_t groupId, const std::string& name) override;
    std::vector<uint32_t> onGroupDeleted(uint32_t groupId) override;
    void onUserInfo(uint32_t userId) override;
    void onContactOnline(uint32_t userId, uint32_t status, bool fromList) override;
    void onContactOffline(uint32_t userId) override;
    void onContactStatus(uint32_t userId, uint32_t status) override;
    void onContactMoved(uint32_t groupId, uint32_t userId) override;
    void onContactDeleted(uint32_t userId) override;
    void onContactAdded(uint32_t userId) override;
    void onAddRequest(uint32_t userId) override;
    void onAllOffline() override;
    void createGroup() override;
    void renameGroup() override;
    void deleteGroup() override;
    int groupCount() const override { return list_.groupCount(); }
    int selectedGroup() const override;

private:
    ConsoleHost& window_;
    ContactList list_;
    std::set<uint32_t> askingAdd_; // accounts whose add request waits for the operator
    COutListDlg* pane_;
};

} // namespace talmor
