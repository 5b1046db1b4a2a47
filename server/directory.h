#pragma once

#include <map>
#include <optional>
#include <vector>

#include "server/account.h"

namespace talmor::server {

// The accounts, their contact lists and groups, and the sellers. Every change names the
// account that makes it; an operation on a group or contact that the account does not own
// changes nothing and says so.
class Directory {
public:
    bool add(Account account);
    void addSeller(Seller seller) { sellers_.push_back(std::move(seller)); }

    Account* find(uint32_t id);
    const Account* find(uint32_t id) const;
    const std::map<uint32_t, Account>& accounts() const { return accounts_; }
    const std::vector<Seller>& sellers() const { return sellers_; }

    // The new group's id, none when the owner is unknown.
    std::optional<uint32_t> createGroup(uint32_t owner, const std::string& name);
    bool renameGroup(uint32_t owner, uint32_t groupId, const std::string& name);
    // Removes the group with the contacts filed in it (the console drops them with the group).
    bool deleteGroup(uint32_t owner, uint32_t groupId);
    // Files a contact of `owner` in one of its groups.
    bool moveContact(uint32_t owner, uint32_t contactId, uint32_t groupId);
    bool deleteContact(uint32_t owner, uint32_t contactId);
    // Adds an existing account to the owner's contacts in `groupId` (0 or one of its groups);
    // false when it is unknown, the owner itself, or already a contact.
    bool addContact(uint32_t owner, uint32_t contactId, uint32_t groupId);

private:
    std::map<uint32_t, Account> accounts_;
    std::vector<Seller> sellers_;
    uint32_t nextGroupId_ = 1;
};

} // namespace talmor::server
