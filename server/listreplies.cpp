#include "server/listreplies.h"

#include <vector>

#include "protocol/commands.h"
#include "server/calllists.h"
#include "server/scope.h"

namespace talmor::server {

namespace {

// The calls of list `request` after `startId` that this console may see, at most a page.
std::vector<const CallRecord*> pageOf(PlatformServer& server, const ConsoleSession& session,
                                      uint16_t request, uint32_t startId) {
    const std::size_t limit = server.settings().callPageSize;
    if (request == CMD_GET_TAKEN_CALLS) {
        return server.calls().takenAfter(session.operatorId(), startId, limit);
    }
    const CallList list = *callListOfRequest(request);
    const UserRecord& profile = server.directory().find(session.operatorId())->profile;
    return server.calls().waitingAfter(startId, limit, [&](const StoredCall& call) {
        return call.record.category == list.category && callInScope(call.record, profile);
    });
}

void sendPage(PlatformServer& server, ConsoleSession& session, uint16_t request, uint16_t seq,
              const std::vector<const CallRecord*>& page) {
    uint16_t reply = CMD_TAKEN_CALLS;
    CallWireOrder order = CallWireOrder::TakenCall;
    if (request != CMD_GET_TAKEN_CALLS) {
        const CallList list = *callListOfRequest(request);
        reply = list.reply;
        order = list.order;
    }
    // Fewer than a page may fit in one datagram: the console continues after the last one
    // it received, so nothing is skipped.
    const std::size_t sent = server.sendList(
        session, reply, seq, page.size(),
        [&](std::size_t i, OutPacket& out) { page[i]->write(out, order); }, true);
    for (std::size_t i = 0; i < sent; ++i) {
        session.callsShown.insert(page[i]->callId);
    }
}

} // namespace

void answerCallList(PlatformServer& server, ConsoleSession& session, uint16_t request, uint16_t seq,
                    uint32_t startId) {
    // Whatever this request gets, the one it follows is not answered any more.
    session.heldLists.erase(request);
    const auto page = pageOf(server, session, request, startId);
    const int holdMs = server.settings().listHoldMs;
    if (!page.empty() || holdMs <= 0) {
        sendPage(server, session, request, seq, page);
        return;
    }
    session.heldLists[request] = HeldList{seq, startId, server.nowMs() + holdMs};
    server.annotateLast(session.operatorId(), "held until a call arrives");
}

void releaseHeldList(PlatformServer& server, ConsoleSession& session, uint16_t request) {
    auto held = session.heldLists.find(request);
    if (held == session.heldLists.end()) {
        return;
    }
    const auto page = pageOf(server, session, request, held->second.startId);
    if (page.empty()) {
        return; // not a call after the console's last one, or not one it may see
    }
    const uint16_t seq = held->second.seq;
    session.heldLists.erase(held);
    sendPage(server, session, request, seq, page);
}

void releaseDueLists(PlatformServer& server, ConsoleSession& session) {
    for (auto held = session.heldLists.begin(); held != session.heldLists.end();) {
        if (held->second.dueMs > server.nowMs()) {
            ++held;
            continue;
        }
        const uint16_t request = held->first;
        const HeldList due = held->second;
        held = session.heldLists.erase(held);
        sendPage(server, session, request, due.seq, pageOf(server, session, request, due.startId));
    }
}

} // namespace talmor::server
