// Searches, the seller query, counters and totals. Searches page by id: each reply holds the
// matches above the request's cursor. Counters and totals count within the operator's own
// scope.
#include <algorithm>

#include "protocol/commands.h"
#include "server/calllists.h"
#include "server/handlers.h"
#include "server/scope.h"

namespace talmor::server {

namespace {

const Account& self(Request& r) {
    return *r.server.directory().find(r.operatorId());
}

Area readArea(InPacket& in) {
    Area area;
    for (std::string& part : area) {
        part = in.text();
    }
    return area;
}

bool contains(const std::string& text, const std::string& part) {
    return part.empty() || text.find(part) != std::string::npos;
}

// Age band `band` of the subscriber search: 0 any age, 1 up to 20, 2 to 13 the five years from
// 21 + 5 * (band - 2), 14 from 81 on. A band beyond 14 matches no one.
bool inAgeBand(uint8_t band, uint8_t age) {
    if (band == 0) {
        return true;
    }
    if (band == 1) {
        return age <= 20;
    }
    if (band == 14) {
        return age >= 81;
    }
    const int from = 21 + 5 * (band - 2);
    return band < 14 && age >= from && age <= from + 4;
}

// The accounts of `kind` above `cursor` that `match` takes, one page at most.
std::vector<const Account*> page(Request& r, AccountKind kind, uint32_t cursor,
                                 const std::function<bool(const Account&)>& match) {
    std::vector<const Account*> found;
    const auto& accounts = r.server.directory().accounts();
    for (auto it = accounts.upper_bound(cursor);
         it != accounts.end() && found.size() < r.server.settings().searchPageSize; ++it) {
        if (it->second.kind == kind && match(it->second)) {
            found.push_back(&it->second);
        }
    }
    return found;
}

template <typename Entry>
void sendPage(Request& r, uint16_t reply, const std::vector<Entry>& entries) {
    r.server.sendList(
        r.session, reply, r.seq, entries.size(),
        [&](std::size_t i, OutPacket& out) { entries[i].write(out); }, true);
}

uint8_t onlineFlag(Request& r, uint32_t id) {
    const ConsoleSession* session = r.server.activeSession(id);
    return session != nullptr && session->visible() ? 1 : 0;
}

void searchUsers(Request& r) {
    const uint32_t account = r.in.u32();
    const std::string email = r.in.text();
    const std::string nick = r.in.text();
    const std::string name = r.in.text();
    const uint8_t sex = r.in.u8();
    const uint8_t ageBand = r.in.u8();
    const Area area = readArea(r.in);
    const uint32_t cursor = r.in.u32();
    std::vector<SearchEntryA> entries;
    for (const Account* found : page(r, AccountKind::Subscriber, cursor, [&](const Account& a) {
             return (account == 0 || a.profile.id == account) &&
                    (email.empty() || a.email == email) && contains(a.profile.nick, nick) &&
                    contains(a.name, name) && (sex == 0 || a.profile.sex == sex) &&
                    inAgeBand(ageBand, a.profile.age) && areaWithin(areaOf(a.profile), area);
         })) {
        SearchEntryA entry;
        entry.id = found->profile.id;
        entry.online = onlineFlag(r, entry.id);
        entry.nick = found->profile.nick;
        entry.name = found->name;
        entry.sex = found->profile.sex;
        entry.age = found->profile.age;
        entry.address = found->address;
        entries.push_back(std::move(entry));
    }
    sendPage(r, CMD_SEARCH_RESULT_A, entries);
}

void searchProviders(Request& r) {
    const uint32_t account = r.in.u32();
    const std::string email = r.in.text();
    const std::string name = r.in.text();
    const Area area = readArea(r.in);
    const std::string phone = r.in.text();
    const uint32_t cursor = r.in.u32();
    std::vector<SearchEntryB> entries;
    for (const Account* found : page(r, AccountKind::Merchant, cursor, [&](const Account& a) {
             return (account == 0 || a.profile.id == account) &&
                    (email.empty() || a.email == email) && contains(a.name, name) &&
                    contains(a.phone, phone) && areaWithin(areaOf(a.profile), area);
         })) {
        SearchEntryB entry;
        entry.id = found->profile.id;
        entry.online = onlineFlag(r, entry.id);
        entry.name = found->name;
        entry.phone = found->phone;
        entry.manager = found->manager;
        entry.managerMobile = found->managerMobile;
        entry.province = found->profile.province;
        entry.city = found->profile.city;
        entry.district = found->profile.district;
        entry.street = found->profile.street;
        entry.community = found->profile.community;
        entry.address = found->address;
        entry.serviceContent = found->serviceContent;
        entries.push_back(std::move(entry));
    }
    sendPage(r, CMD_SEARCH_RESULT_B, entries);
}

void searchColleagues(Request& r) {
    const uint32_t account = r.in.u32();
    const std::string name = r.in.text();
    const Area area = readArea(r.in);
    const uint32_t onlineOnly = r.in.u32();
    const uint32_t cursor = r.in.u32();
    std::vector<SearchEntryD> entries;
    for (const Account* found : page(r, AccountKind::Operator, cursor, [&](const Account& a) {
             return (account == 0 || a.profile.id == account) &&
                    (contains(a.profile.nick, name) || contains(a.name, name)) &&
                    areaWithin(areaOf(a.profile), area) &&
                    (onlineOnly == 0 || onlineFlag(r, a.profile.id) != 0);
         })) {
        SearchEntryD entry;
        entry.id = found->profile.id;
        entry.online = onlineFlag(r, entry.id);
        entry.name = found->profile.nick;
        entry.phone = found->phone;
        entry.contactPerson = found->name;
        entry.sex = found->profile.sex;
        entry.mobile = found->mobile;
        entry.area = areaOf(found->profile);
        entries.push_back(std::move(entry));
    }
    sendPage(r, CMD_SEARCH_RESULT_D, entries);
}

void sellerQuery(Request& r) {
    const uint32_t key = r.in.u32();
    const std::string type = r.in.text();
    const std::string subType = r.in.text();
    const Area callerArea = readArea(r.in);
    std::size_t sent = 0;
    for (const Seller& seller : r.server.directory().sellers()) {
        if (sent == r.server.settings().sellerReplyLimit) {
            break;
        }
        if ((type.empty() || seller.type == type) &&
            (subType.empty() || seller.subType == subType) &&
            areaWithin(callerArea, seller.entry.area)) {
            // One merchant per reply, each naming the window that asked.
            r.reply(CMD_SELLER_RESULT, [&](OutPacket& out) {
                out.writeInt(key);
                seller.entry.write(out);
            });
            ++sent;
        }
    }
    r.note(std::to_string(sent) + " sellers");
}

void skipScopeBlock(InPacket& in, bool withCode) {
    readArea(in);
    in.u32();
    in.u32();
    if (withCode) {
        in.text();
    }
}

// Accounts of `kind` within the operator's scope: its organisation, or its area.
uint32_t countInScope(Request& r, AccountKind kind) {
    const UserRecord& scope = self(r).profile;
    const bool byOrganisation = scope.scopeKind == 1 && scope.scopeId > 0;
    const auto& accounts = r.server.directory().accounts();
    return static_cast<uint32_t>(
        std::count_if(accounts.begin(), accounts.end(), [&](const auto& entry) {
            const Account& a = entry.second;
            if (a.kind != kind) {
                return false;
            }
            return byOrganisation ? a.orgFlag == 1 && a.orgId == scope.scopeId
                                  : areaWithin(areaOf(a.profile), areaOf(scope));
        }));
}

void providerCount(Request& r) {
    skipScopeBlock(r.in, false);
    const uint32_t count = countInScope(r, AccountKind::Merchant);
    r.reply(CMD_PROVIDER_COUNT, [&](OutPacket& out) { out.writeInt(count); });
}

void customerCount(Request& r) {
    skipScopeBlock(r.in, true);
    const uint32_t count = countInScope(r, AccountKind::Subscriber);
    r.reply(CMD_CUSTOMER_COUNT, [&](OutPacket& out) { out.writeInt(count); });
}

uint32_t waitingInScope(Request& r, uint32_t category) {
    const UserRecord& scope = self(r).profile;
    uint32_t count = 0;
    for (const auto& entry : r.server.calls().all()) {
        const StoredCall& call = entry.second;
        if (call.state == CallState::Waiting && call.record.category == category &&
            callInScope(call.record, scope)) {
            ++count;
        }
    }
    return count;
}

void helpTotal(Request& r) {
    const uint32_t count = waitingInScope(r, kHelpCategory);
    r.reply(CMD_HELP_TOTAL, [&](OutPacket& out) { out.writeInt(count); });
}

void sosTotal(Request& r) {
    const uint32_t count = waitingInScope(r, kSosCategory);
    r.reply(CMD_SOS_TOTAL, [&](OutPacket& out) { out.writeInt(count); });
}

} // namespace

void addQueryHandlers(HandlerTable& table) {
    table[CMD_SEARCH_USERS] = searchUsers;
    table[CMD_SEARCH_PROVIDERS] = searchProviders;
    table[CMD_SEARCH_COLLEAGUES] = searchColleagues;
    table[CMD_SELLER_QUERY] = sellerQuery;
    table[CMD_GET_COUNT_1] = providerCount;
    table[CMD_GET_COUNT_2] = customerCount;
    table[CMD_GET_TOTAL_1] = helpTotal;
    table[CMD_GET_TOTAL_2] = sosTotal;
}

} // namespace talmor::server
