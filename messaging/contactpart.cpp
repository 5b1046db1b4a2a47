#include "messaging/contactpart.h"

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "messaging/contactactions.h"
#include "messaging/contacttexts.h"
#include "messaging/creategroupdlg.h"
#include "messaging/outlistdlg.h"
#include "messaging/updategroupdlg.h"
#include "protocol/contactstore.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

ContactPart::ContactPart(ConsoleHost& window)
    : QObject(&window.mainWidget()), window_(window), list_(window.contacts()),
      pane_(new COutListDlg(window, list_)) {
    window.placeContactPane(pane_);
}

void ContactPart::onGroupList(const std::vector<GroupEntry>& groups) {
    list_.applyGroupList(groups);
}

void ContactPart::onContactsLoaded(const std::vector<ContactEntry>& entries) {
    // The server learns where the console filed the contacts that came without a group.
    const uint32_t defaultGroup = list_.defaultGroupId();
    for (uint32_t contact : list_.applyContactEntries(entries)) {
        window_.client().moveNewContact(contact, defaultGroup);
    }
}

void ContactPart::onGroupCreated(uint32_t groupId) {
    auto* dialog = dynamic_cast<CCreateGroupDlg*>(
        window_.windows().findWindow(CCreateGroupDlg::kWindowType, 0, 0));
    // Only a dialog that sent its name waits for this; without one the group shows at the
    // next login.
    if (dialog == nullptr || !dialog->saving()) {
        return;
    }
    list_.addGroup(dialog->name(), groupId);
    delete dialog;
    window_.ui().notice(&window_.mainWidget(), QString::fromUtf8(text::kCreateGroupDone));
}

void ContactPart::onGroupNameChanged(uint32_t groupId, const std::string& name) {
    auto* dialog = dynamic_cast<CUpdateGroupDlg*>(
        window_.windows().findWindow(CUpdateGroupDlg::kWindowType, 0, 0));
    if (dialog == nullptr || !dialog->saving() || dialog->groupId() != groupId) {
        list_.renameGroup(groupId, name);
        return;
    }
    list_.renameGroup(groupId, dialog->name());
    delete dialog;
    window_.ui().notice(&window_.mainWidget(), QString::fromUtf8(text::kRenameGroupDone));
}

std::vector<uint32_t> ContactPart::onGroupDeleted(uint32_t groupId) {
    return list_.removeGroup(groupId);
}

void ContactPart::onUserInfo(uint32_t userId) {
    list_.profileChanged(userId);
}

void ContactPart::onContactOnline(uint32_t userId, uint32_t status, bool) {
    list_.contactOnline(userId, status);
}

void ContactPart::onContactOffline(uint32_t userId) {
    list_.contactOffline(userId);
}

void ContactPart::onContactStatus(uint32_t userId, uint32_t status) {
    list_.contactStatus(userId, status);
}

void ContactPart::onContactMoved(uint32_t groupId, uint32_t userId) {
    list_.moveMember(groupId, userId);
}

void ContactPart::onContactDeleted(uint32_t userId) {
    list_.deleteContact(userId);
}

void ContactPart::onContactAdded(uint32_t userId) {
    if (!list_.addNewContact(userId)) {
        return;
    }
    window_.client().getUserInfo(userId);
    window_.ui().notice(&window_.mainWidget(), ContactAddedText(userId));
}

void ContactPart::onAddRequest(uint32_t userId) {
    // An account repeating its request must not bury the console under questions.
    if (CheckAdd(list_.records(), window_.operatorId(), userId) != AddCheck::Allowed ||
        !askingAdd_.insert(userId).second) {
        return;
    }
    window_.ui().ask(&window_.mainWidget(), AddRequestText(userId), [this, userId](bool approve) {
        askingAdd_.erase(userId);
        // The list may have changed while the question waited: logged out, or added meanwhile.
        if (approve && window_.ready()) {
            requestAdd(userId, true);
        }
    });
}

AddCheck ContactPart::requestAdd(uint32_t userId, bool toDefaultGroup) {
    const AddCheck check = CheckAdd(list_.records(), window_.operatorId(), userId);
    if (check == AddCheck::Allowed) {
        window_.client().addContact(userId, toDefaultGroup ? list_.defaultGroupId() : 0);
    }
    return check;
}

void ContactPart::onAllOffline() {
    list_.allOffline();
}

void ContactPart::createGroup() {
    if (window_.windows().findWindow(CCreateGroupDlg::kWindowType, 0, 0) != nullptr ||
        list_.groups().size() >= ContactList::kMaxGroups) {
        return;
    }
    (new CCreateGroupDlg(&window_.mainWidget(), window_.windows(), window_.ui(), window_.client()))
        ->show();
}

void ContactPart::renameGroup() {
    const int selected = selectedGroup();
    if (window_.windows().findWindow(CUpdateGroupDlg::kWindowType, 0, 0) != nullptr ||
        selected < 0) {
        return;
    }
    const ContactGroup& group = list_.groups()[static_cast<std::size_t>(selected)];
    (new CUpdateGroupDlg(&window_.mainWidget(), window_.windows(), window_.ui(), window_.client(),
                         group.id, FromGbk(group.name)))
        ->show();
}

void ContactPart::deleteGroup() {
    const int selected = selectedGroup();
    const int deletable = list_.groupCount() - static_cast<int>(ContactList::kFixedGroups);
    if (selected < 0 || selected >= deletable) {
        return;
    }
    const uint32_t groupId = list_.groupIdAt(selected);
    if (window_.ui().warning(&window_.mainWidget(),
                             QString::fromUtf8(text::kDeleteGroupQuestion))) {
        window_.client().deleteGroup(groupId);
    }
}

int ContactPart::selectedGroup() const {
    return pane_->selectedGroup();
}

} // namespace talmor
