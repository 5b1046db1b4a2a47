#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/records.h"
#include "protocol/sessionrecords.h"

namespace talmor::server {

enum class AccountKind { Operator, Merchant, Subscriber };

// A family member or another contact person of a subscriber (texts in GBK).
struct FamilyContact {
    std::string name;
    std::string phone;
};

// Everyone the platform knows: operators and merchants log in, subscribers raise calls. Texts
// are GBK bytes, as on the wire.
struct Account {
    AccountKind kind = AccountKind::Subscriber;
    UserRecord profile;   // profile.id is the account id
    std::string password; // empty: the account cannot log in

    // Operators.
    SeatRights rights;
    std::array<std::string, kMultiLoginLevels> multiLoginPasswords;
    uint32_t accountValue = 0;
    uint8_t profileFlag = 0;
    std::string scopeCode;
    std::string scopeNotice;

    // Subscribers and merchants.
    std::string name;
    std::string phone;
    std::string mobile;
    std::string email;
    std::string address;
    std::string mapMark;
    uint32_t orgFlag = 0;
    uint32_t orgId = 0;
    std::vector<FamilyContact> family;
    std::vector<FamilyContact> otherContacts;
    std::string manager;
    std::string managerMobile;
    std::string serviceContent;

    // The contact list of an account that logs in: groups in list order, contacts in the order
    // they were added, each with its group (0 = none yet).
    std::vector<GroupEntry> groups;
    std::vector<uint32_t> contactOrder;
    std::unordered_map<uint32_t, uint32_t> groupOf;

    bool hasContact(uint32_t id) const { return groupOf.count(id) != 0; }
    bool hasGroup(uint32_t groupId) const;
};

// A merchant as the seller query finds it: a type, a sub-type and a service area.
struct Seller {
    SellerEntry entry;
    std::string type;
    std::string subType;
};

} // namespace talmor::server
