#pragma once

#include <cstdint>
#include <string>

#include "protocol/packet.h"
#include "protocol/records.h"

namespace talmor {

// Bodies of the console's queries that carry more than a few fields, read and written in wire
// order like the records (the development server reads them).

// The operator's monitoring scope; with `withCode`, followed by the scope code text.
struct ScopeBlock {
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    uint32_t scopeKind = 0;
    uint32_t scopeId = 0;
    std::string scopeCode;

    static ScopeBlock of(const UserRecord& profile, const std::string& scopeCode);
    static ScopeBlock read(InPacket& in, bool withCode);
    void write(OutPacket& out, bool withCode) const;
};

struct UserSearch {
    uint32_t account = 0;
    std::string email;
    std::string nick;
    std::string name;
    uint8_t sex = 0;
    uint8_t ageBand = 0;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    uint32_t cursor = 0;

    static UserSearch read(InPacket& in);
    void write(OutPacket& out) const;
};

struct ProviderSearch {
    uint32_t account = 0;
    std::string email;
    std::string name;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    std::string phone;
    uint32_t cursor = 0;

    static ProviderSearch read(InPacket& in);
    void write(OutPacket& out) const;
};

struct ColleagueSearch {
    uint32_t account = 0;
    std::string name;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    uint32_t onlineOnly = 0; // 0 or 1
    uint32_t cursor = 0;

    static ColleagueSearch read(InPacket& in);
    void write(OutPacket& out) const;
};

// Merchants serving the caller's area for a type of service.
struct SellerQuery {
    uint32_t windowKey = 0; // the call id; the reply carries it back
    std::string type;
    std::string subType;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;

    static SellerQuery read(InPacket& in);
    void write(OutPacket& out) const;
};

// A notice to a merchant about a call.
struct ServiceNotice {
    uint32_t callId = 0;
    uint32_t merchantId = 0;
    uint32_t smsDetails = 0; // 1: the caller's details go to the merchant by SMS
    std::string merchantNick;
    std::string description;

    static ServiceNotice read(InPacket& in);
    void write(OutPacket& out) const;
};

} // namespace talmor
