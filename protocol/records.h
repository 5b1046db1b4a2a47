#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "protocol/messagerecord.h"
#include "protocol/packet.h"

namespace talmor {

// The records that travel between the platform server and the console. Each wire record reads
// itself from an InPacket (missing fields read as 0 or empty) and writes itself in the same
// order, so the development server and the tests build exactly what the console parses.

constexpr std::size_t kProfileTextCount = 14;

// Operator and contact status. Contacts are reported only online or away; offline comes as its
// own event.
constexpr uint32_t kStatusOnline = 0;
constexpr uint32_t kStatusOffline = 1;
constexpr uint32_t kStatusAway = 2;
constexpr uint32_t kStatusInvisible = 3;

// A user's profile. `id` is not part of the wire form: the user-info reply sends it before.
struct UserRecord {
    uint32_t id = 0;
    std::string nick;
    std::string typeCode; // "S" marks an operator (seat) account
    uint8_t age = 0;
    uint8_t sex = 0; // 0 undisclosed, 1 male, 2 female
    // profileText[0] is profile text 1 ... profileText[13] is profile text 14.
    std::array<std::string, kProfileTextCount> profileText;
    uint32_t pictureIndex = 0;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    uint32_t scopeKind = 0;
    uint32_t scopeId = 0;
    std::string extraText;

    static UserRecord read(InPacket& in);
    void write(OutPacket& out) const;
};

// One contact of the contact list reply.
struct ContactEntry {
    uint32_t id = 0;
    std::string unusedText; // sent by the server, not used by the console
    uint32_t groupId = 0;
    std::string nick;
    std::string profileText8;
    std::string typeCode;
    uint8_t sex = 0;

    static ContactEntry read(InPacket& in);
    void write(OutPacket& out) const;
};

// A contact that is online (0) or away (2), with the addresses a peer session may use.
// Addresses are in host order.
struct PresenceEntry {
    uint32_t id = 0;
    uint32_t status = 0;
    uint32_t altAddress = 0;
    uint16_t altPort = 0;
    uint16_t messagePort = 0;
    uint32_t peerAddress = 0;

    static PresenceEntry read(InPacket& in);
    void write(OutPacket& out) const;
};

// The three field orders in which the server sends a call.
enum class CallWireOrder {
    ListEntry,           // category call panes and customer service: no category, no source
    ListEntryWithSource, // help and SOS lists: no category
    TakenCall,           // taken calls: category after userId, with source
    NewCall,             // a new call: category, sex before age, source and the service object
};

// One call. `category` is 0 help, 1 SOS, 2 to 26 service categories.
struct CallRecord {
    uint32_t callId = 0;
    uint32_t userId = 0;
    uint32_t category = 0;
    uint32_t callTime = 0; // calendar seconds
    std::string userName;
    uint8_t age = 0;
    uint8_t sex = 0;
    std::string phone;
    std::string mobile;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    std::string address;
    std::string mapMark;
    uint32_t orgFlag = 0; // 1 = the caller belongs to an organisation
    uint32_t orgId = 0;
    uint32_t unused1 = 0; // two values the console carries but does not use
    uint32_t unused2 = 0;
    uint32_t source = 0; // 1 = the call came from the mobile application
    std::string serviceObject;

    static CallRecord read(InPacket& in, CallWireOrder order);
    void write(OutPacket& out, CallWireOrder order) const;
};

// A group of the group list reply.
struct GroupEntry {
    uint32_t id = 0;
    std::string name;

    static GroupEntry read(InPacket& in);
    void write(OutPacket& out) const;
};

// A user summary (no window of the console shows it; its fields have no known meaning).
struct UserSummaryEntry {
    uint32_t id = 0;
    uint8_t value1 = 0;
    std::string text1;
    std::string text2;
    uint8_t value2 = 0;
    uint8_t value3 = 0;
    std::string text3;
    std::string text4;
    std::string text5;
    uint8_t value4 = 0;

    static UserSummaryEntry read(InPacket& in);
    void write(OutPacket& out) const;
};

// A subscriber found by the user search. A non-zero online flag shows the coloured icon.
struct SearchEntryA {
    uint32_t id = 0;
    uint8_t online = 0;
    std::string nick;
    std::string name;
    uint8_t sex = 0;
    uint8_t age = 0;
    std::string address;

    static SearchEntryA read(InPacket& in);
    void write(OutPacket& out) const;
};

// A service provider found by the provider search.
struct SearchEntryB {
    uint32_t id = 0;
    uint8_t online = 0;
    std::string name;
    std::string phone;
    std::string manager;
    std::string managerMobile;
    std::string province;
    std::string city;
    std::string district;
    std::string street;
    std::string community;
    std::string address;
    std::string serviceContent;

    static SearchEntryB read(InPacket& in);
    void write(OutPacket& out) const;
};

// A search result no window of the console shows; its fields have no known meaning.
struct SearchEntryC {
    uint32_t id = 0;
    uint8_t value1 = 0;
    std::string text1;
    std::string text2;
    std::string text3;
    uint8_t value2 = 0;
    std::string text4;
    std::string text5;

    static SearchEntryC read(InPacket& in);
    void write(OutPacket& out) const;
};

// A colleague found by the colleague search, with the area the colleague administers.
struct SearchEntryD {
    uint32_t id = 0;
    uint8_t online = 0;
    std::string name;
    std::string phone;
    std::string contactPerson;
    uint8_t sex = 0;
    std::string mobile;
    std::array<std::string, 5> area;

    static SearchEntryD read(InPacket& in);
    void write(OutPacket& out) const;
};

// A merchant found by the seller query, with its service area.
struct SellerEntry {
    uint32_t id = 0;
    std::string merchantName;
    std::array<std::string, 5> area;
    std::string contactPerson;
    std::string phone;
    std::string mobile;

    static SellerEntry read(InPacket& in);
    void write(OutPacket& out) const;
};

// A contact as the console keeps it: the profile plus the presence last reported.
struct ContactRecord : UserRecord {
    uint32_t status = kStatusOffline;
    uint32_t altAddress = 0;
    uint16_t altPort = 0;
    uint16_t messagePort = 0;
    uint32_t peerAddress = 0;

    static ContactRecord fromEntry(const ContactEntry& entry);
};

// Entries that find no bytes left to read are zero-filled, but at most this many: an inflated
// count must not make the console build tens of thousands of empty records. (A read that does
// not fit leaves its bytes unread, so "no bytes left" means "the entry read none".)
constexpr std::size_t kMaxMissingListEntries = 16;

// A u16 count, then that many entries read by `readOne`.
template <typename T, typename ReadOne> std::vector<T> readList(InPacket& in, ReadOne readOne) {
    const uint16_t count = in.u16();
    std::vector<T> list;
    std::size_t missing = 0;
    for (uint16_t i = 0; i < count; ++i) {
        const std::size_t before = in.unread();
        T entry = readOne(in);
        if (in.unread() == before && ++missing > kMaxMissingListEntries) {
            break;
        }
        list.push_back(std::move(entry));
    }
    return list;
}

template <typename T> std::vector<T> readList(InPacket& in) {
    return readList<T>(in, [](InPacket& packet) { return T::read(packet); });
}

// Writes the u16 count and the entries with `writeOne` (65535 at most: the count's limit).
template <typename T, typename WriteOne>
void writeList(OutPacket& out, const std::vector<T>& list, WriteOne writeOne) {
    const std::size_t count = list.size() < 0xFFFF ? list.size() : 0xFFFF;
    out.writeShort(static_cast<uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        writeOne(out, list[i]);
    }
}

template <typename T> void writeList(OutPacket& out, const std::vector<T>& list) {
    writeList(out, list, [](OutPacket& packet, const T& entry) { entry.write(packet); });
}

} // namespace talmor
