#include "server/directory.h"

#include <algorithm>

namespace talmor::server {

bool Account::hasGroup(uint32_t groupId) const {
    return std::any_of(groups.begin(), groups.end(),
                       [groupId](const GroupEntry& group) { return group.id == groupId; });
}

bool Directory::add(Account account) {
    const uint32_t id = account.profile.id;
    if (id == 0 || accounts_.count(id) != 0) {
        return false;
    }
    for (const GroupEntry& group : account.groups) {
        nextGroupId_ = std::max(nextGroupId_, group.id + 1);
    }
    accounts_.emplace(id, std::move(account));
    return true;
}

Account* Directory::find(uint32_t id) {
    auto found = accounts_.find(id);
    return found == accounts_.end() ? nullptr : &found->second;
}

const Account* Directory::find(uint32_t id) const {
    auto found = accounts_.find(id);
    return found == accounts_.end() ? nullptr : &found->second;
}

std::optional<uint32_t> Directory::createGroup(uint32_t owner, const std::string& name) {
    Account* account = find(owner);
    if (account == nullptr) {
        return std::nullopt;
    }
    const uint32_t id = nextGroupId_++;
    account->groups.push_back(GroupEntry{id, name});
    return id;
}

bool Directory::renameGroup(uint32_t owner, uint32_t groupId, const std::string& name) {
    Account* account = find(owner);
    if (account == nullptr) {
        return false;
    }
    for (GroupEntry& group : account->groups) {
        if (group.id == groupId) {
            group.name = name;
            return true;
        }
    }
    return false;
}

bool Directory::deleteGroup(uint32_t owner, uint32_t groupId) {
    Account* account = find(owner);
    if (account == nullptr || groupId == 0 || !account->hasGroup(groupId)) {
        return false;
    }
    auto& groups = account->groups;
    groups.erase(std::remove_if(groups.begin(), groups.end(),
                                [groupId](const GroupEntry& group) { return group.id == groupId; }),
                 groups.end());
    auto& order = account->contactOrder;
    order.erase(std::remove_if(order.begin(), order.end(),
                               [account, groupId](uint32_t contact) {
                                   if (account->groupOf[contact] != groupId) {
                                       return false;
                                   }
                                   account->groupOf.erase(contact);
                                   return true;
                               }),
                order.end());
    return true;
}

bool Directory::moveContact(uint32_t owner, uint32_t contactId, uint32_t groupId) {
    Account* account = find(owner);
    if (account == nullptr || !account->hasContact(contactId) || !account->hasGroup(groupId)) {
        return false;
    }
    account->groupOf[contactId] = groupId;
    return true;
}

bool Directory::deleteContact(uint32_t owner, uint32_t contactId) {
    Account* account = find(owner);
    if (account == nullptr || !account->hasContact(contactId)) {
        return false;
    }
    account->groupOf.erase(contactId);
    auto& order = account->contactOrder;
    order.erase(std::remove(order.begin(), order.end(), contactId), order.end());
    return true;
}

bool Directory::addContact(uint32_t owner, uint32_t contactId, uint32_t groupId) {
    Account* account = find(owner);
    if (account == nullptr || contactId == owner || find(contactId) == nullptr ||
        account->hasContact(contactId) || (groupId != 0 && !account->hasGroup(groupId))) {
        return false;
    }
    account->contactOrder.push_back(contactId);
    account->groupOf[contactId] = groupId;
    return true;
}

} // namespace talmor::server
