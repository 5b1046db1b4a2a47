// Groups, contacts and chat through the server. Every change is made to the requesting
// operator's own list; ids of groups or contacts it does not hold change nothing.
#include "protocol/commands.h"
#include "protocol/sessionrecords.h"
#include "server/handlers.h"
#include "server/messagedelivery.h"
#include "server/presence.h"

namespace talmor::server {

namespace {

void createGroup(Request& r) {
    const std::string name = r.in.text();
    const auto id = r.server.directory().createGroup(r.operatorId(), name);
    if (id) {
        r.reply(CMD_GROUP_CREATED, [&](OutPacket& out) { out.writeInt(*id); });
    }
}

void renameGroup(Request& r) {
    const uint32_t id = r.in.u32();
    const std::string name = r.in.text();
    if (!r.server.directory().renameGroup(r.operatorId(), id, name)) {
        r.note("no group " + std::to_string(id));
        return;
    }
    r.reply(CMD_GROUP_NAME_CHANGED, [&](OutPacket& out) { out.writeInt(id).writeString(name); });
}

void deleteGroup(Request& r) {
    const uint32_t id = r.in.u32();
    if (!r.server.directory().deleteGroup(r.operatorId(), id)) {
        r.note("no group " + std::to_string(id));
        return;
    }
    r.reply(CMD_GROUP_DELETED, [&](OutPacket& out) { out.writeInt(id); });
}

void fileNewContact(Request& r) {
    const uint32_t contact = r.in.u32();
    const uint32_t group = r.in.u32();
    if (!r.server.directory().moveContact(r.operatorId(), contact, group)) {
        r.note("contact or group unknown");
    }
}

void moveContact(Request& r) {
    const uint32_t group = r.in.u32();
    const uint32_t contact = r.in.u32();
    if (!r.server.directory().moveContact(r.operatorId(), contact, group)) {
        r.note("contact or group unknown");
        return;
    }
    r.reply(CMD_CONTACT_MOVED, [&](OutPacket& out) { out.writeInt(group).writeInt(contact); });
}

void deleteContact(Request& r) {
    const uint32_t contact = r.in.u32();
    if (!r.server.directory().deleteContact(r.operatorId(), contact)) {
        r.note("no contact " + std::to_string(contact));
        return;
    }
    r.reply(CMD_CONTACT_DELETED, [&](OutPacket& out) { out.writeInt(contact); });
}

void addContact(Request& r) {
    const uint32_t user = r.in.u32();
    const uint32_t group = r.in.u32();
    Directory& directory = r.server.directory();
    if (!directory.addContact(r.operatorId(), user, group)) {
        r.note("user " + std::to_string(user) + " not added");
        return;
    }
    r.reply(CMD_CONTACT_ADDED, [&](OutPacket& out) { out.writeInt(user); });
    announceContactTo(r.server, r.session, user);
    // The other side is asked to approve, unless it already lists the requester.
    const Account* other = directory.find(user);
    ConsoleSession* otherSession = r.server.activeSession(user);
    if (other != nullptr && otherSession != nullptr && !other->hasContact(r.operatorId())) {
        const uint32_t requester = r.operatorId();
        r.server.send(*otherSession, CMD_ADD_REQUEST, 0,
                      [&](OutPacket& out) { out.writeInt(requester); });
    }
}

void sendMessage(Request& r) {
    ServerMessage message;
    message.kind = r.in.u8();
    const uint32_t peer = r.in.u32();
    message.body = r.in.text();
    message.senderId = r.operatorId();
    message.sendTime = r.server.nowSeconds();
    if (!deliverMessage(r.server, peer, message)) {
        r.note("peer " + std::to_string(peer) + " cannot take it yet; message kept");
    }
}

} // namespace

void addContactHandlers(HandlerTable& table) {
    table[CMD_CREATE_GROUP] = createGroup;
    table[CMD_RENAME_GROUP] = renameGroup;
    table[CMD_DELETE_GROUP] = deleteGroup;
    table[CMD_MOVE_NEW_CONTACT] = fileNewContact;
    table[CMD_MOVE_CONTACT] = moveContact;
    table[CMD_DELETE_CONTACT] = deleteContact;
    table[CMD_ADD_CONTACT] = addContact;
    table[CMD_SEND_MESSAGE] = sendMessage;
}

} // namespace talmor::server
