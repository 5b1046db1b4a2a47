#include "messaging/contactlist.h"

#include <algorithm>

#include "protocol/trace.h"

namespace talmor {

namespace {

bool IsPresence(uint32_t status) {
    return status == kStatusOnline || status == kStatusAway;
}

} // namespace

std::string HeaderText(const ContactGroup& group) {
    return group.name + " (" + std::to_string(static_cast<unsigned long>(group.onlineCount)) + "/" +
           std::to_string(static_cast<unsigned long>(group.memberCount())) + ")";
}

void ContactList::addGroup(const std::string& name, uint32_t id) {
    if (id == 0 || groupById(id) != nullptr) {
        return;
    }
    if (groups_.size() >= kMaxGroups) {
        traceWarning("contact list: group " + std::to_string(id) + " not shown, " +
                     std::to_string(kMaxGroups) + " groups held");
        return;
    }
    ContactGroup group;
    group.id = id;
    group.name = name;
    group.members.reserve(kMaxMembers);
    groups_.insert(groups_.begin(), std::move(group));
    notify(Change::Rows);
}

void ContactList::renameGroup(uint32_t id, const std::string& name) {
    if (ContactGroup* group = groupById(id)) {
        group->name = name;
        notify(Change::Rows);
    }
}

std::vector<uint32_t> ContactList::removeGroup(uint32_t id) {
    const int index = indexOfGroup(id);
    if (index < 0) {
        return {};
    }
    std::vector<uint32_t> members = groups_[static_cast<std::size_t>(index)].members;
    for (uint32_t member : members) {
        groupIdOf_.erase(member);
        shownStatus_.erase(member);
        records_.remove(member);
    }
    groups_.erase(groups_.begin() + index);
    notify(Change::Rows);
    return members;
}

bool ContactList::addMember(uint32_t groupId, uint32_t contactId) {
    ContactGroup* group = groupById(groupId);
    if (group == nullptr || records_.find(contactId) == nullptr ||
        groupIdOf_.count(contactId) != 0) {
        return false;
    }
    if (group->members.size() >= kMaxMembers) {
        traceWarning("contact list: group " + std::to_string(groupId) + " is full, contact " +
                     std::to_string(contactId) + " not shown");
        return false;
    }
    group->members.push_back(contactId);
    group->expanded = 1;
    groupIdOf_[contactId] = groupId;
    recount(*group);
    notify(Change::Rows);
    return true;
}

void ContactList::removeMember(uint32_t contactId) {
    if (ContactGroup* group = detach(contactId)) {
        recount(*group);
        notify(Change::Rows);
    }
}

void ContactList::moveMember(uint32_t groupId, uint32_t contactId) {
    ContactGroup* target = groupById(groupId);
    const ContactRecord* record = records_.find(contactId);
    if (target == nullptr || record == nullptr) {
        return;
    }
    const auto current = groupIdOf_.find(contactId);
    const bool sameGroup = current != groupIdOf_.end() && current->second == groupId;
    if (!sameGroup && target->members.size() >= kMaxMembers) {
        traceWarning("contact list: group " + std::to_string(groupId) + " is full, contact " +
                     std::to_string(contactId) + " stays in its group");
        return;
    }
    if (ContactGroup* source = detach(contactId)) {
        recount(*source);
    }
    // Like every member added, the moved one is shown.
    target->members.push_back(contactId);
    target->expanded = 1;
    groupIdOf_[contactId] = groupId;
    recount(*target);
    if (record->status == kStatusOffline) {
        notify(Change::Rows);
    } else {
        promote(contactId);
    }
}

void ContactList::promote(uint32_t contactId) {
    moveWithin(contactId, true);
}

void ContactList::demote(uint32_t contactId) {
    moveWithin(contactId, false);
}

int ContactList::groupOf(uint32_t contactId) const {
    const auto found = groupIdOf_.find(contactId);
    return found == groupIdOf_.end() ? -1 : indexOfGroup(found->second);
}

uint32_t ContactList::groupIdAt(int index) const {
    if (index < 0 || index >= groupCount()) {
        return 0;
    }
    return groups_[static_cast<std::size_t>(index)].id;
}

int ContactList::indexOfGroup(uint32_t id) const {
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        if (groups_[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ContactList::applyGroupList(const std::vector<GroupEntry>& groups) {
    Batch batch(*this);
    for (const GroupEntry& group : groups) {
        addGroup(group.name, group.id);
    }
}

std::vector<uint32_t> ContactList::applyContactEntries(const std::vector<ContactEntry>& entries) {
    Batch batch(*this);
    std::vector<uint32_t> filedInDefault;
    for (const ContactEntry& entry : entries) {
        if (groupIdOf_.count(entry.id) != 0 || records_.find(entry.id) == nullptr) {
            continue;
        }
        if (entry.groupId != 0) {
            // A group that is not held leaves the contact out of every group.
            addMember(entry.groupId, entry.id);
        } else if (addMember(defaultGroupId(), entry.id)) {
            filedInDefault.push_back(entry.id);
        }
    }
    return filedInDefault;
}

void ContactList::profileChanged(uint32_t contactId) {
    const uint32_t group = groupIdOfOrZero(contactId);
    if (group != 0) {
        notify(Change::Texts, group);
    }
}

void ContactList::contactOnline(uint32_t contactId, uint32_t status) {
    ContactRecord* record = records_.find(contactId);
    if (record == nullptr || !IsPresence(status)) {
        return;
    }
    record->status = status;
    shownStatus_[contactId] = status;
    promote(contactId);
}

void ContactList::contactOffline(uint32_t contactId) {
    ContactRecord* record = records_.find(contactId);
    if (record == nullptr) {
        return;
    }
    record->status = kStatusOffline;
    shownStatus_.erase(contactId);
    demote(contactId);
}

void ContactList::contactStatus(uint32_t contactId, uint32_t status) {
    ContactRecord* record = records_.find(contactId);
    if (record == nullptr || !IsPresence(status)) {
        return;
    }
    const auto shown = shownStatus_.find(contactId);
    const uint32_t before = shown == shownStatus_.end() ? kStatusOffline : shown->second;
    record->status = status;
    shownStatus_[contactId] = status;
    if (before == kStatusAway && status == kStatusOnline) {
        promote(contactId);
    } else if (ContactGroup* group = groupById(groupIdOfOrZero(contactId))) {
        recount(*group);
        notify(Change::Rows, group->id);
    }
}

void ContactList::deleteContact(uint32_t contactId) {
    if (records_.find(contactId) == nullptr) {
        return;
    }
    if (ContactGroup* group = detach(contactId)) {
        recount(*group);
    }
    shownStatus_.erase(contactId);
    records_.remove(contactId);
    notify(Change::Rows);
}

bool ContactList::addNewContact(uint32_t contactId) {
    if (contactId == 0 || records_.find(contactId) != nullptr) {
        return false;
    }
    ContactRecord record;
    record.id = contactId;
    record.nick = std::to_string(contactId);
    record.status = kStatusOffline;
    records_.add(record);
    if (!addMember(defaultGroupId(), contactId)) {
        traceWarning("contact list: contact " + std::to_string(contactId) + " is in no group");
    }
    return true;
}

void ContactList::allOffline() {
    // A logout: the next login brings the groups and the filing again. The records stay with
    // the contact store, where windows may still point at them.
    for (ContactGroup& group : groups_) {
        for (uint32_t member : group.members) {
            if (ContactRecord* record = records_.find(member)) {
                record->status = kStatusOffline;
            }
        }
    }
    groups_.clear();
    groupIdOf_.clear();
    shownStatus_.clear();
    notify(Change::Rows);
}

void ContactList::toggleExpanded(int index) {
    if (index < 0 || index >= groupCount()) {
        return;
    }
    ContactGroup& group = groups_[static_cast<std::size_t>(index)];
    group.expanded = group.expanded != 0 ? 0 : 1;
    notify(Change::Rows);
}

ContactGroup* ContactList::groupById(uint32_t id) {
    const int index = indexOfGroup(id);
    return index < 0 ? nullptr : &groups_[static_cast<std::size_t>(index)];
}

uint32_t ContactList::groupIdOfOrZero(uint32_t contactId) const {
    const auto found = groupIdOf_.find(contactId);
    return found == groupIdOf_.end() ? 0 : found->second;
}

ContactGroup* ContactList::detach(uint32_t contactId) {
    const auto found = groupIdOf_.find(contactId);
    if (found == groupIdOf_.end()) {
        return nullptr;
    }
    ContactGroup* group = groupById(found->second);
    groupIdOf_.erase(found);
    if (group != nullptr) {
        auto& members = group->members;
        members.erase(std::remove(members.begin(), members.end(), contactId), members.end());
    }
    return group;
}

void ContactList::recount(ContactGroup& group) {
    int online = 0;
    for (uint32_t member : group.members) {
        const ContactRecord* record = records_.find(member);
        if (record != nullptr && record->status != kStatusOffline) {
            ++online;
        }
    }
    group.onlineCount = online;
}

void ContactList::moveWithin(uint32_t contactId, bool toFront) {
    ContactGroup* group = groupById(groupIdOfOrZero(contactId));
    if (group == nullptr) {
        return;
    }
    auto& members = group->members;
    const auto at = std::find(members.begin(), members.end(), contactId);
    if (toFront) {
        std::rotate(members.begin(), at, at + 1);
    } else {
        std::rotate(at, at + 1, members.end());
    }
    recount(*group);
    notify(Change::Rows, group->id);
}

void ContactList::notify(Change change, uint32_t groupId) {
    if (batchDepth_ > 0) {
        const bool rows = change == Change::Rows || (pending_ && *pending_ == Change::Rows);
        pendingGroup_ = !pending_ || pendingGroup_ == groupId ? groupId : 0;
        pending_ = rows ? Change::Rows : Change::Texts;
        return;
    }
    if (redraw_) {
        redraw_(change, groupId);
    }
}

ContactList::Batch::Batch(ContactList& list) : list_(list) {
    ++list_.batchDepth_;
}

ContactList::Batch::~Batch() {
    if (--list_.batchDepth_ == 0 && list_.pending_) {
        const Change change = *list_.pending_;
        list_.pending_.reset();
        list_.notify(change, list_.pendingGroup_);
    }
}

} // namespace talmor
