// Status, keep-alive, logout and the login chain: rights, profile, scope, groups, contacts.
#include "protocol/commands.h"
#include "protocol/records.h"
#include "protocol/sessionrecords.h"
#include "server/handlers.h"
#include "server/presence.h"

namespace talmor::server {

namespace {

const Account& self(Request& r) {
    // A session is only active for an account that exists.
    return *r.server.directory().find(r.operatorId());
}

void keepAlive(Request& r) {
    const uint32_t value = r.in.u32();
    r.reply(CMD_KEEP_ALIVE, [&](OutPacket& out) { out.writeInt(value).writeShort(0); });
}

void logout(Request& r) {
    r.server.endSession(r.session, "logged out");
}

void setStatus(Request& r) {
    const uint32_t status = r.in.u32();
    if (status != 0 && status != 2 && status != 3) {
        r.note("status " + std::to_string(status) + " refused");
        return;
    }
    const uint32_t before = r.session.status;
    r.session.status = status;
    announceStatus(r.server, r.session, before);
}

void rights(Request& r) {
    r.reply(CMD_SEAT_RIGHTS, [&](OutPacket& out) { self(r).rights.write(out); });
}

void ownProfile(Request& r) {
    const Account& account = self(r);
    r.reply(CMD_OWN_PROFILE, [&](OutPacket& out) {
        account.profile.write(out);
        out.writeByte(account.profileFlag);
    });
}

void scopeCode(Request& r) {
    r.reply(CMD_SCOPE_CODE, [&](OutPacket& out) { out.writeString(self(r).scopeCode); });
}

void scopeNotice(Request& r) {
    r.reply(CMD_SCOPE_NOTICE, [&](OutPacket& out) { out.writeString(self(r).scopeNotice); });
}

void reminder(Request& r) {
    const ServerSettings& settings = r.server.settings();
    r.reply(CMD_REMINDER_SCHEDULE, [&](OutPacket& out) {
        out.writeInt(settings.reminderEnabled).writeInt(settings.reminderMinutes);
    });
}

void groups(Request& r) {
    const auto& list = self(r).groups;
    r.server.sendList(
        r.session, CMD_GROUP_LIST, r.seq, list.size(),
        [&](std::size_t i, OutPacket& out) { list[i].write(out); }, false);
}

void contacts(Request& r) {
    const Account& account = self(r);
    const Directory& directory = r.server.directory();
    std::vector<ContactEntry> entries;
    entries.reserve(account.contactOrder.size());
    for (uint32_t id : account.contactOrder) {
        ContactEntry entry;
        entry.id = id;
        entry.groupId = account.groupOf.at(id);
        if (const Account* contact = directory.find(id)) {
            entry.nick = contact->profile.nick;
            entry.profileText8 = contact->profile.profileText[7];
            entry.typeCode = contact->profile.typeCode;
            entry.sex = contact->profile.sex;
        }
        entries.push_back(std::move(entry));
    }
    r.server.sendList(
        r.session, CMD_CONTACT_LIST, r.seq, entries.size(),
        [&](std::size_t i, OutPacket& out) { entries[i].write(out); }, false,
        &r.session.contactListSeq);
}

void userInfo(Request& r) {
    const uint32_t id = r.in.u32();
    const Account* account = r.server.directory().find(id);
    if (account == nullptr) {
        r.note("no user " + std::to_string(id));
        return;
    }
    r.reply(CMD_USER_INFO, [&](OutPacket& out) {
        out.writeInt(id);
        account->profile.write(out);
    });
}

} // namespace

void addSessionHandlers(HandlerTable& table) {
    table[CMD_KEEP_ALIVE] = keepAlive;
    table[CMD_LOGOUT] = logout;
    table[CMD_SET_STATUS] = setStatus;
    table[CMD_GET_RIGHTS] = rights;
    table[CMD_GET_OWN_PROFILE] = ownProfile;
    table[CMD_GET_SCOPE_CODE] = scopeCode;
    table[CMD_GET_SCOPE_NOTICE] = scopeNotice;
    table[CMD_GET_REMINDER] = reminder;
    table[CMD_GET_GROUPS] = groups;
    table[CMD_GET_CONTACTS] = contacts;
    table[CMD_GET_USER_INFO] = userInfo;
}

} // namespace talmor::server
