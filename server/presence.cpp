#include "server/presence.h"

#include "protocol/commands.h"
#include "server/messagedelivery.h"

namespace talmor::server {

namespace {
bool visibleStatus(uint32_t status) {
    return status == 0 || status == 2;
}

// The ready consoles whose operator lists `operatorId` as a contact.
std::vector<ConsoleSession*> watchersOf(PlatformServer& server, uint32_t operatorId) {
    std::vector<ConsoleSession*> watchers;
    for (ConsoleSession* other : server.sessions()) {
        if (other->state != SessionState::Active || !other->loginComplete ||
            other->operatorId() == operatorId) {
            continue;
        }
        const Account* account = server.directory().find(other->operatorId());
        if (account != nullptr && account->hasContact(operatorId)) {
            watchers.push_back(other);
        }
    }
    return watchers;
}

void sendOnline(PlatformServer& server, ConsoleSession& session) {
    const PresenceEntry entry = presenceOf(server, session);
    for (ConsoleSession* watcher : watchersOf(server, session.operatorId())) {
        server.send(*watcher, CMD_CONTACT_ONLINE, 0, [&](OutPacket& out) { entry.write(out); });
    }
}

void sendOffline(PlatformServer& server, ConsoleSession& session) {
    for (ConsoleSession* watcher : watchersOf(server, session.operatorId())) {
        server.send(*watcher, CMD_CONTACT_OFFLINE, 0,
                    [&](OutPacket& out) { out.writeInt(session.operatorId()); });
    }
}
} // namespace

PresenceEntry presenceOf(const PlatformServer& server, const ConsoleSession& session) {
    PresenceEntry entry;
    entry.id = session.operatorId();
    entry.status = session.status;
    // The address the server sees first, the one the console reported second: a contact on
    // the same network reaches the latter.
    entry.altAddress = session.endpoint().address;
    entry.altPort = session.endpoint().port;
    entry.messagePort = session.messagePort;
    entry.peerAddress = session.localAddress;
    switch (server.addressMode(session.operatorId())) {
    case AddressMode::Real:
        break;
    case AddressMode::None:
        entry.altAddress = 0;
        entry.altPort = 0;
        break;
    case AddressMode::Unreachable:
        // Peers try the unanswered port, wait out their attempt and fall back to the server.
        entry.peerAddress = server.unansweredPort().address();
        entry.messagePort = server.unansweredPort().port();
        break;
    }
    return entry;
}

void completeLogin(PlatformServer& server, ConsoleSession& session) {
    if (session.loginComplete || session.state != SessionState::Active) {
        return;
    }
    session.loginComplete = true;
    std::vector<PresenceEntry> online;
    if (const Account* account = server.directory().find(session.operatorId())) {
        for (uint32_t contact : account->contactOrder) {
            const ConsoleSession* other = server.activeSession(contact);
            if (other != nullptr && other->visible()) {
                online.push_back(presenceOf(server, *other));
            }
        }
    }
    if (!online.empty()) {
        server.sendList(
            session, CMD_ONLINE_CONTACTS, 0, online.size(),
            [&](std::size_t i, OutPacket& out) { online[i].write(out); }, false);
    }
    if (session.visible()) {
        sendOnline(server, session);
    }
    deliverKeptMessages(server, session);
}

void announceStatus(PlatformServer& server, ConsoleSession& session, uint32_t before) {
    if (!session.loginComplete || before == session.status) {
        return;
    }
    const bool wasVisible = visibleStatus(before);
    const bool isVisible = session.visible();
    if (wasVisible && isVisible) {
        for (ConsoleSession* watcher : watchersOf(server, session.operatorId())) {
            server.send(*watcher, CMD_CONTACT_STATUS, 0, [&](OutPacket& out) {
                out.writeInt(session.operatorId()).writeInt(session.status);
            });
        }
    } else if (isVisible) {
        sendOnline(server, session);
    } else if (wasVisible) {
        sendOffline(server, session);
    }
}

void announceContactTo(PlatformServer& server, ConsoleSession& watcher, uint32_t contactId) {
    const ConsoleSession* contact = server.activeSession(contactId);
    if (contact == nullptr || !contact->loginComplete || !contact->visible()) {
        return;
    }
    const PresenceEntry entry = presenceOf(server, *contact);
    server.send(watcher, CMD_CONTACT_ONLINE, 0, [&](OutPacket& out) { entry.write(out); });
}

void announceLeaving(PlatformServer& server, ConsoleSession& session) {
    if (session.loginComplete && session.visible()) {
        sendOffline(server, session);
    }
}

} // namespace talmor::server
