// Waiting-call lists, taken calls and call handling. A console sees the calls of its
// operator's scope (the scope the server holds for that operator, whatever the request says)
// and handles only the calls its operator holds.
#include "protocol/commands.h"
#include "protocol/sessionrecords.h"
#include "server/handlers.h"
#include "server/listreplies.h"

namespace talmor::server {

namespace {

// The console asked about a call it cannot have (another operator took or closed it first, or
// there is no such call): it learns the call is gone, so its row and handling windows do not
// wait for an answer that never comes.
void tellGone(Request& r, uint32_t id) {
    r.session.callsShown.erase(id);
    r.server.send(r.session, CMD_CALL_GONE, 0, [&](OutPacket& out) { out.writeInt(id); });
}

void waitingCalls(Request& r) {
    const uint32_t start = r.in.u32();
    answerCallList(r.server, r.session, r.in.command(), r.seq, start);
}

void takenCalls(Request& r) {
    const uint32_t start = r.in.u32();
    answerCallList(r.server, r.session, CMD_GET_TAKEN_CALLS, r.seq, start);
}

void takeCall(Request& r) {
    const uint32_t id = r.in.u32();
    if (!r.server.calls().take(id, r.operatorId())) {
        const StoredCall* call = r.server.calls().find(id);
        r.note(call == nullptr ? "no call " + std::to_string(id)
                               : "call " + std::to_string(id) + " no longer waits");
        tellGone(r, id);
        return;
    }
    r.server.withdrawCall(id, &r.session);
    // The call is now in this operator's taken calls.
    releaseHeldList(r.server, r.session, CMD_GET_TAKEN_CALLS);
}

void giveUpCall(Request& r) {
    const uint32_t id = r.in.u32();
    if (!r.server.calls().giveUp(id, r.operatorId())) {
        r.note("call " + std::to_string(id) + " is not held by this operator");
        tellGone(r, id);
        return;
    }
    r.session.callsShown.erase(id);
    r.server.offerCall(id, &r.session);
}

// Closes a call the operator holds, or one still waiting (then it leaves the other consoles).
bool closeCall(Request& r, uint32_t id, const std::string& outcome, const std::string& report) {
    CallStore& calls = r.server.calls();
    const StoredCall* call = calls.find(id);
    const bool wasWaiting = call != nullptr && call->state == CallState::Waiting;
    if (!calls.close(id, r.operatorId(), outcome, report)) {
        r.note("call " + std::to_string(id) + " is not held by this operator");
        tellGone(r, id);
        return false;
    }
    if (wasWaiting) {
        r.server.withdrawCall(id, &r.session);
    }
    return true;
}

void misdial(Request& r) {
    closeCall(r, r.in.u32(), "misdial", std::string());
}

void blacklist(Request& r) {
    const uint32_t id = r.in.u32();
    const std::string phone = r.in.text();
    if (closeCall(r, id, "blacklisted", std::string())) {
        r.server.calls().blacklist(phone);
    }
}

// Closes a call with its report or notice. A call this operator already closed counts as
// closed: the first confirmation may be what was lost.
bool closeOnce(Request& r, uint32_t id, const std::string& outcome, const std::string& report) {
    const StoredCall* call = r.server.calls().find(id);
    const bool alreadyClosed =
        call != nullptr && call->state == CallState::Closed && call->takenBy == r.operatorId();
    return alreadyClosed || closeCall(r, id, outcome, report);
}

void callReport(Request& r) {
    const uint32_t id = r.in.u32();
    const std::string report = r.in.text();
    if (!closeOnce(r, id, "report", report)) {
        return;
    }
    r.reply(CMD_CALL_MEMO_SAVED, [&](OutPacket& out) { out.writeInt(id); });
}

void merchantNotice(Request& r) {
    const uint32_t id = r.in.u32();
    const uint32_t merchant = r.in.u32();
    const uint32_t bySms = r.in.u32();
    const std::string merchantNick = r.in.text();
    const std::string description = r.in.text();
    // The call is passed on: it is closed, so it does not come back in the operator's taken
    // calls; only the operator who holds it can pass it on.
    if (!closeOnce(r, id, "merchant notice", description)) {
        return;
    }
    // A merchant at its console reads the notice there; either way the operator is told done.
    if (ConsoleSession* target = r.server.activeSession(merchant)) {
        ServerMessage message;
        message.kind = 1;
        message.senderId = r.operatorId();
        message.sendTime = r.server.nowSeconds();
        message.body = description;
        r.server.send(*target, CMD_SERVER_MESSAGE, 0, [&](OutPacket& out) { message.write(out); });
    }
    r.note("notice to merchant " + std::to_string(merchant) + (bySms != 0 ? " with SMS" : ""));
    r.server.calls().recordText(
        {SentText::Kind::MerchantNotice, 0, id, r.operatorId(), merchantNick, description});
    r.reply(bySms != 0 ? CMD_CALL_NOTICE_DONE_2 : CMD_CALL_NOTICE_DONE,
            [&](OutPacket& out) { out.writeInt(id); });
}

// The subscriber a family request is about: the caller of the call when the server knows it.
const Account* callerOf(Request& r, uint32_t callId, uint32_t userId) {
    const StoredCall* call = r.server.calls().find(callId);
    return r.server.directory().find(call != nullptr ? call->record.userId : userId);
}

void sendFamily(Request& r, uint16_t reply, bool others) {
    const uint32_t callId = r.in.u32();
    const uint32_t userId = r.in.u32();
    const Account* caller = callerOf(r, callId, userId);
    if (caller == nullptr) {
        r.note("no subscriber " + std::to_string(userId));
        return;
    }
    for (const FamilyContact& contact : others ? caller->otherContacts : caller->family) {
        r.reply(reply, [&](OutPacket& out) {
            out.writeInt(callId).writeString(contact.name).writeString(contact.phone);
        });
    }
}

void family(Request& r) {
    sendFamily(r, CMD_FAMILY_CONTACT, false);
}

void otherContacts(Request& r) {
    sendFamily(r, CMD_FAMILY_CONTACT_2, true);
}

void sosSms(Request& r) {
    const uint32_t id = r.in.u32();
    const std::string phone = r.in.text();
    const std::string message = r.in.text();
    r.note("SMS about call " + std::to_string(id) + " to " + phone + ": " + message);
    r.server.calls().recordText({SentText::Kind::FamilySms, 0, id, r.operatorId(), phone, message});
}

} // namespace

void addCallHandlers(HandlerTable& table) {
    table[CMD_GET_HELP_CALLS] = waitingCalls;
    table[CMD_GET_SOS_CALLS] = waitingCalls;
    table[CMD_GET_SERVICE_CALLS] = waitingCalls;
    for (uint16_t pane = 0; pane < kCategoryPaneCount; ++pane) {
        table[static_cast<uint16_t>(CMD_GET_CATEGORY_CALLS + pane)] = waitingCalls;
    }
    table[CMD_GET_TAKEN_CALLS] = takenCalls;
    table[CMD_TAKE_CALL] = takeCall;
    table[CMD_GIVE_UP_CALL] = giveUpCall;
    table[CMD_MISDIAL] = misdial;
    table[CMD_BLACKLIST] = blacklist;
    table[CMD_CALL_REPORT] = callReport;
    table[CMD_SERVICE_NOTICE_2] = merchantNotice;
    table[CMD_GET_FAMILY] = family;
    table[CMD_GET_FAMILY_2] = otherContacts;
    table[CMD_SOS_SMS] = sosSms;
}

} // namespace talmor::server
