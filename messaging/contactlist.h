#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/contactstore.h"
#include "protocol/records.h"

namespace talmor {

// One group of the contact list, held by value in the list's ordered array.
struct ContactGroup {
    uint32_t id = 0;
    std::string name; // GBK
    // Contact ids in display order; never more than ContactList::kMaxMembers.
    std::vector<uint32_t> members;
    // Members whose status is not offline.
    int onlineCount = 0;
    // 1 while the group shows its members.
    uint8_t expanded = 0;

    int memberCount() const { return static_cast<int>(members.size()); }
};

// The header of a group: its name, a blank and "(online/total)" (GBK).
std::string HeaderText(const ContactGroup& group);

// The operator's contacts in their groups, as the contact pane shows them. The records
// themselves are the protocol core's (the contact store); this list files their ids in groups,
// keeps the members of each group in display order and counts who is online. Groups are
// inserted at position 0, so the first group the server lists ends last: that is the default
// group. Every change that alters what the pane shows is reported to the redraw callback.
class ContactList {
public:
    static constexpr std::size_t kMaxGroups = 50;
    static constexpr std::size_t kMaxMembers = 200;
    // The last three groups cannot be deleted.
    static constexpr std::size_t kFixedGroups = 3;

    // What changed: the rows (groups, members, order, counts), or only a contact's texts;
    // and where: the id of the one group concerned, or 0 when it may be any.
    enum class Change { Rows, Texts };
    using Redraw = std::function<void(Change change, uint32_t groupId)>;

    explicit ContactList(ContactStore& records) : records_(records) {}

    // Holds the redraws back while it lives; one redraw follows when anything changed.
    class Batch {
    public:
        explicit Batch(ContactList& list);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ContactList& list_;
    };

    void setRedraw(Redraw redraw) { redraw_ = std::move(redraw); }

    // Operations of the list. Those that name a group or contact that is not held do nothing.
    // A new group at position 0 (collapsed, empty); nothing if the id is held or the list is
    // full.
    void addGroup(const std::string& name, uint32_t id);
    void renameGroup(uint32_t id, const std::string& name);
    // Removes the group and destroys its members' records; returns the ids of those members.
    std::vector<uint32_t> removeGroup(uint32_t id);
    // Appends the contact to the group and expands it. False when there is no such group, the
    // contact is already filed, or the group is full (the refusal is traced).
    bool addMember(uint32_t groupId, uint32_t contactId);
    void removeMember(uint32_t contactId);
    // To the end of the target group, or to its front when the contact is not offline. A
    // contact the full target group cannot take stays where it was.
    void moveMember(uint32_t groupId, uint32_t contactId);
    // To the front or the end of its group; the others keep their order.
    void promote(uint32_t contactId);
    void demote(uint32_t contactId);

    int groupOf(uint32_t contactId) const;
    // 0 for a position outside the list.
    uint32_t groupIdAt(int index) const;
    int indexOfGroup(uint32_t id) const;
    ContactRecord* findRecord(uint32_t id) { return records_.find(id); }
    const ContactRecord* findRecord(uint32_t id) const { return records_.find(id); }

    // Reactions to the server's events.
    // The group list of the login, in the server's order.
    void applyGroupList(const std::vector<GroupEntry>& groups);
    // Files the contacts of one contact-list datagram (their records are already held). A
    // contact without a group goes to the default group; the ids filed so are returned, as
    // the server must learn of them. A contact already filed keeps its place.
    std::vector<uint32_t> applyContactEntries(const std::vector<ContactEntry>& entries);
    // A contact's profile arrived.
    void profileChanged(uint32_t contactId);
    // Presence: the status is stored in the record; online and back from away promote,
    // offline demotes. Statuses other than online and away are not presence changes.
    void contactOnline(uint32_t contactId, uint32_t status);
    void contactOffline(uint32_t contactId);
    void contactStatus(uint32_t contactId, uint32_t status);
    // The contact leaves its group and its record is destroyed.
    void deleteContact(uint32_t contactId);
    // A user just added as a contact: a record named by its id, offline, in the default group.
    // False when the user already is a contact.
    bool addNewContact(uint32_t contactId);
    // The operator went offline and every contact with it: the list empties until the next
    // login fills it again.
    void allOffline();
    void toggleExpanded(int index);

    const std::vector<ContactGroup>& groups() const { return groups_; }
    int groupCount() const { return static_cast<int>(groups_.size()); }
    // The last position, or -1 without groups.
    int defaultGroup() const { return groups_.empty() ? -1 : groupCount() - 1; }
    uint32_t defaultGroupId() const { return groupIdAt(defaultGroup()); }
    const ContactStore& records() const { return records_; }

private:
    ContactGroup* groupById(uint32_t id);
    uint32_t groupIdOfOrZero(uint32_t contactId) const;
    // Removes the contact from its group's members; the group, or none.
    ContactGroup* detach(uint32_t contactId);
    void recount(ContactGroup& group);
    void moveWithin(uint32_t contactId, bool toFront);
    void notify(Change change, uint32_t groupId = 0);

    ContactStore& records_;
    std::vector<ContactGroup> groups_;
    // The group id each filed contact is in.
    std::unordered_map<uint32_t, uint32_t> groupIdOf_;
    // The status each contact had when the list last applied its presence: the main window
    // stores a new status in the record before the event reaches the list, and coming back
    // from away must still be told from other changes.
    std::unordered_map<uint32_t, uint32_t> shownStatus_;
    Redraw redraw_;
    int batchDepth_ = 0;
    std::optional<Change> pending_;
    uint32_t pendingGroup_ = 0;
};

} // namespace talmor
