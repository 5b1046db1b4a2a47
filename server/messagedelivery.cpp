#include "server/messagedelivery.h"

#include "protocol/commands.h"

namespace talmor::server {

bool deliverMessage(PlatformServer& server, uint32_t recipient, const ServerMessage& message) {
    ConsoleSession* target = server.activeSession(recipient);
    if (target != nullptr && target->loginComplete) {
        server.send(*target, CMD_SERVER_MESSAGE, 0, [&](OutPacket& out) { message.write(out); });
        return true;
    }
    // Only someone who can log in ever takes a kept message.
    const Account* account = server.directory().find(recipient);
    if (account != nullptr && account->kind != AccountKind::Subscriber &&
        !account->password.empty()) {
        server.messages().keep(recipient, message);
    }
    return false;
}

void deliverKeptMessages(PlatformServer& server, ConsoleSession& session) {
    for (const KeptMessage& kept : server.messages().waitingFor(session.operatorId())) {
        const uint16_t seq = server.send(session, CMD_SERVER_MESSAGE, 0,
                                         [&](OutPacket& out) { kept.message.write(out); });
        session.keptInFlight[seq] = kept.id;
    }
}

void keptMessageAcknowledged(PlatformServer& server, ConsoleSession& session, uint16_t seq) {
    auto found = session.keptInFlight.find(seq);
    if (found != session.keptInFlight.end()) {
        server.messages().forget(found->second);
        session.keptInFlight.erase(found);
    }
}

} // namespace talmor::server
