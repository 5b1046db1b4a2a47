#include "server/platformserver.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "protocol/commands.h"
#include "protocol/packetcipher.h"
#include "protocol/sessionrecords.h"
#include "server/calllists.h"
#include "server/handlers.h"
#include "server/listreplies.h"
#include "server/messagedelivery.h"
#include "server/presence.h"
#include "server/scope.h"

namespace talmor::server {

namespace {
constexpr std::size_t kCountOffset = kDatagramHeaderSize;

// The console never acknowledges these two; a keep-alive answer goes once, a call-gone
// notice goes as often as any packet.
bool unacknowledged(uint16_t command) {
    return command == CMD_KEEP_ALIVE || command == CMD_CALL_GONE;
}
} // namespace

void Request::reply(uint16_t command, const std::function<void(OutPacket&)>& body) {
    server.send(session, command, seq, body);
}

void Request::note(const std::string& text) {
    server.annotateLast(session.operatorId(), text);
}

PlatformServer::PlatformServer(Directory& directory, CallStore& calls, DatagramSink& out,
                               Random& random, ServerSettings settings)
    : directory_(directory), calls_(calls), out_(out), random_(random),
      settings_(std::move(settings)), messages_(std::make_unique<MemoryMessageStore>()) {
    addSessionHandlers(handlers_);
    addContactHandlers(handlers_);
    addCallHandlers(handlers_);
    addQueryHandlers(handlers_);
    addMediaRelay(handlers_);
}

PlatformServer::~PlatformServer() = default;

void PlatformServer::event(const std::string& line) {
    if (eventLog_) {
        eventLog_(line);
    }
}

void PlatformServer::receive(const uint8_t* bytes, std::size_t size, const Endpoint& from,
                             int64_t nowMs) {
    nowMs_ = nowMs;
    if (size < kDatagramHeaderSize || size > kPacketCapacity) {
        event("dropped a datagram of " + std::to_string(size) + " bytes from " + from.text());
        return;
    }
    InPacket header(bytes, size);
    if (header.version() != PROTOCOL_VERSION) {
        event("dropped a datagram of version " + std::to_string(header.version()) + " from " +
              from.text());
        return;
    }
    if (header.command() == CMD_LOGIN) {
        login(header, bytes, size, from);
        sweep();
        return;
    }
    auto found = sessions_.find({from, header.sessionId()});
    if (found == sessions_.end()) {
        event("dropped command " + std::to_string(header.command()) + " from " + from.text() +
              ": no session " + std::to_string(header.sessionId()));
        return;
    }
    ConsoleSession& session = *found->second;
    session.lastHeardMs = nowMs;
    if (header.command() == CMD_ACK) {
        acknowledged(session, header.seq());
    } else if (header.seq() == 0) {
        event("dropped command " + std::to_string(header.command()) + " without a number from " +
              from.text());
    } else if (session.seen(header.seq())) {
        // A retransmission: our acknowledgement was lost, so it goes again; nothing is redone.
        transmit(session, session.pureAck(header.seq()));
    } else if (session.state != SessionState::Active) {
        event("dropped command " + std::to_string(header.command()) + " on a session that is" +
              " not logged in, from " + from.text());
    } else {
        request(session, bytes, size);
    }
    sweep();
}

void PlatformServer::login(InPacket& header, const uint8_t* bytes, std::size_t size,
                           const Endpoint& from) {
    const SessionKey key{from, header.sessionId()};
    auto existing = sessions_.find(key);
    if (existing != sessions_.end()) {
        existing->second->lastHeardMs = nowMs_;
        transmit(*existing->second, existing->second->pureAck(header.seq()));
        return;
    }
    // A console starts a new session at every login: whatever it had from here before is over.
    for (auto& entry : sessions_) {
        if (entry.first.first == from) {
            endSession(*entry.second, "a new login from the same address");
        }
    }
    sweep();

    InPacket in(bytes, size);
    const LoginRequest request = LoginRequest::read(in);
    const uint32_t operatorId = header.senderId();
    const Account* account = directory_.find(operatorId);
    const bool accepted = account != nullptr && account->kind != AccountKind::Subscriber &&
                          !account->password.empty() && account->password == request.password;

    auto created = std::make_unique<ConsoleSession>(from, header.sessionId(), operatorId,
                                                    static_cast<uint16_t>(random_.next() & 0x3FFF));
    ConsoleSession& session = *created;
    sessions_.emplace(key, std::move(created));
    session.lastHeardMs = nowMs_;
    session.firstSight(header.seq());

    LogEntry entry;
    entry.timeMs = nowMs_;
    entry.sessionId = header.sessionId();
    entry.command = CMD_LOGIN;
    entry.seq = header.seq();
    entry.note = accepted ? "login accepted" : "login refused";
    appendLog(operatorId, std::move(entry));

    transmit(session, session.pureAck(header.seq()));
    LoginReply reply;
    reply.result = accepted ? 0 : 1;
    reply.requiredVersion = settings_.requiredClientVersion;
    reply.serverValue = settings_.serverValue;
    if (!accepted) {
        event("login of " + std::to_string(operatorId) + " from " + from.text() + " refused");
        send(session, CMD_LOGIN_REPLY, header.seq(), [&](OutPacket& out) { reply.write(out); });
        return;
    }
    if (ConsoleSession* previous = activeSession(operatorId)) {
        previous->state = SessionState::Evicted;
        previous->dropAll();
        previous->heldLists.clear();
        send(*previous, CMD_LOGGED_IN_ELSEWHERE, 0, [](OutPacket&) {});
        event("operator " + std::to_string(operatorId) + " logged in elsewhere; " +
              previous->endpoint().text() + " is told to leave");
    }
    session.state = SessionState::Active;
    session.status = (request.status == 2 || request.status == 3) ? request.status : 0;
    session.localAddress = request.localAddress;
    session.messagePort = request.messagePort;
    session.videoCapable = request.videoCapable;
    session.installationId = request.installationId;
    session.cipher.setKeyFromPassword(account->password);
    byOperator_[operatorId] = &session;
    reply.passwords = account->multiLoginPasswords;
    reply.accountValue = account->accountValue;
    send(session, CMD_LOGIN_REPLY, header.seq(), [&](OutPacket& out) { reply.write(out); });
    event("operator " + std::to_string(operatorId) + " logged in from " + from.text());
}

void PlatformServer::request(ConsoleSession& session, const uint8_t* bytes, std::size_t size) {
    std::array<uint8_t, kPacketCapacity> plain;
    std::memcpy(plain.data(), bytes, size);
    InPacket header(plain.data(), size);
    LogEntry entry;
    entry.timeMs = nowMs_;
    entry.sessionId = session.sessionId();
    entry.command = header.command();
    entry.seq = header.seq();
    if (!decipherRequest(plain.data(), size, session.cipher)) {
        // Not this operator's key, or damaged: the console will send it again.
        event("dropped command " + std::to_string(header.command()) + " from " +
              session.endpoint().text() + ": the body does not decipher");
        return;
    }
    if (withheld_.count({session.operatorId(), header.command()}) != 0) {
        return;
    }
    session.firstSight(header.seq());
    entry.body.assign(reinterpret_cast<const char*>(plain.data()) + kDatagramHeaderSize,
                      size - kDatagramHeaderSize);
    appendLog(session.operatorId(), std::move(entry));
    transmit(session, session.pureAck(header.seq()));

    InPacket in(plain.data(), size);
    auto handler = handlers_.find(in.command());
    if (handler == handlers_.end()) {
        Request{*this, session, in, in.seq()}.note("unknown command");
        return;
    }
    Request request{*this, session, in, in.seq()};
    handler->second(request);
}

void PlatformServer::acknowledged(ConsoleSession& session, uint16_t seq) {
    if (!session.acknowledge(seq)) {
        return;
    }
    release(session);
    keptMessageAcknowledged(*this, session, seq);
    if (seq == session.contactListSeq) {
        completeLogin(*this, session);
    }
}

void PlatformServer::transmit(const ConsoleSession& session, const OutPacket& packet) {
    out_.sendDatagram(session.endpoint(), packet.data(), packet.length());
}

uint16_t PlatformServer::send(ConsoleSession& session, uint16_t command, uint16_t ackSeq,
                              const std::function<void(OutPacket&)>& body) {
    OutgoingPacket outgoing;
    outgoing.packet = session.newPacket(command, ackSeq);
    body(outgoing.packet);
    const uint16_t seq = outgoing.packet.seq;
    if (command == CMD_KEEP_ALIVE) {
        transmit(session, outgoing.packet);
        return seq;
    }
    outgoing.expectAck = !unacknowledged(command);
    if (outgoing.expectAck &&
        (session.inFlight() >= settings_.sendWindow || !session.held().empty())) {
        session.held().push_back(std::move(outgoing));
        return seq;
    }
    launch(session, std::move(outgoing));
    return seq;
}

void PlatformServer::launch(ConsoleSession& session, OutgoingPacket outgoing) {
    transmit(session, outgoing.packet);
    outgoing.sends = 1;
    outgoing.dueMs = nowMs_ + settings_.resendIntervalMs;
    session.queue(std::move(outgoing));
}

void PlatformServer::release(ConsoleSession& session) {
    auto& held = session.held();
    while (!held.empty() && session.inFlight() < settings_.sendWindow) {
        OutgoingPacket next = std::move(held.front());
        held.pop_front();
        launch(session, std::move(next));
    }
}

std::size_t PlatformServer::sendList(ConsoleSession& session, uint16_t command, uint16_t ackSeq,
                                     std::size_t count,
                                     const std::function<void(std::size_t, OutPacket&)>& writeEntry,
                                     bool onePage, uint16_t* lastSeq) {
    std::vector<uint8_t> packed;
    uint16_t inPacket = 0;
    std::size_t sent = 0;
    const std::size_t room = kPacketCapacity - kDatagramHeaderSize - 2;
    const auto flush = [&] {
        const uint16_t seq = send(session, command, ackSeq, [&](OutPacket& out) {
            out.writeShort(inPacket);
            out.writeBytes(packed.data(), packed.size());
        });
        if (lastSeq != nullptr) {
            *lastSeq = seq;
        }
        sent += inPacket;
        packed.clear();
        inPacket = 0;
    };
    for (std::size_t i = 0; i < count; ++i) {
        OutPacket one;
        writeEntry(i, one);
        if (one.length() > room) {
            continue; // cannot travel in any datagram
        }
        if (packed.size() + one.length() > room || inPacket == 0xFFFF) {
            flush();
            if (onePage) {
                return sent;
            }
        }
        packed.insert(packed.end(), one.data(), one.data() + one.length());
        ++inPacket;
    }
    if (inPacket > 0 || sent == 0) {
        flush();
    }
    return sent;
}

ConsoleSession* PlatformServer::activeSession(uint32_t operatorId) {
    auto found = byOperator_.find(operatorId);
    return found == byOperator_.end() ? nullptr : found->second;
}

std::vector<ConsoleSession*> PlatformServer::sessions() {
    std::vector<ConsoleSession*> all;
    all.reserve(sessions_.size());
    for (auto& entry : sessions_) {
        if (std::find(ended_.begin(), ended_.end(), entry.second.get()) == ended_.end()) {
            all.push_back(entry.second.get());
        }
    }
    return all;
}

AddressMode PlatformServer::addressMode(uint32_t operatorId) const {
    auto found = addressModes_.find(operatorId);
    return found == addressModes_.end() ? AddressMode::Real : found->second;
}

bool PlatformServer::setAddressMode(uint32_t operatorId, AddressMode mode) {
    if (mode == AddressMode::Unreachable && !unanswered_.open()) {
        return false;
    }
    addressModes_[operatorId] = mode;
    return true;
}

void PlatformServer::setWithheld(uint32_t operatorId, uint16_t command, bool withheld) {
    if (withheld) {
        withheld_.insert({operatorId, command});
    } else {
        withheld_.erase({operatorId, command});
    }
}

void PlatformServer::endSession(ConsoleSession& session, const std::string& reason) {
    if (std::find(ended_.begin(), ended_.end(), &session) != ended_.end()) {
        return;
    }
    if (session.state == SessionState::Active) {
        announceLeaving(*this, session);
        cancelTalksOf(*this, session.operatorId());
        event("operator " + std::to_string(session.operatorId()) + " at " +
              session.endpoint().text() + " left: " + reason);
    }
    auto found = byOperator_.find(session.operatorId());
    if (found != byOperator_.end() && found->second == &session) {
        byOperator_.erase(found);
    }
    session.state = SessionState::Refused;
    ended_.push_back(&session);
}

void PlatformServer::sweep() {
    for (ConsoleSession* session : ended_) {
        sessions_.erase({session->endpoint(), session->sessionId()});
    }
    ended_.clear();
}

void PlatformServer::tick(int64_t nowMs) {
    nowMs_ = nowMs;
    for (ConsoleSession* session : sessions()) {
        resend(*session);
        if (nowMs - session->lastHeardMs > settings_.sessionTimeoutMs) {
            endSession(*session,
                       "silent for " + std::to_string(settings_.sessionTimeoutMs / 1000) + " s");
        } else if (session->state != SessionState::Active && session->idle()) {
            // A refusal or a notice to leave was delivered (or given up): nothing more to say.
            endSession(*session, "done");
        } else if (session->state == SessionState::Active) {
            releaseDueLists(*this, *session);
        }
    }
    sweep();
}

void PlatformServer::resend(ConsoleSession& session) {
    auto& outbox = session.outbox();
    for (auto it = outbox.begin(); it != outbox.end();) {
        if (it->dueMs > nowMs_) {
            ++it;
            continue;
        }
        if (it->sends >= settings_.maxSends) {
            const uint16_t seq = it->packet.seq;
            if (it->expectAck) {
                event("command " + std::to_string(it->packet.command) + " to " +
                      session.endpoint().text() + " was never acknowledged");
            }
            auto next = std::next(it);
            session.forget(it);
            it = next;
            // The console may have the contact list even when every acknowledgement was lost.
            if (seq == session.contactListSeq) {
                completeLogin(*this, session);
            }
            continue;
        }
        transmit(session, it->packet);
        ++it->sends;
        it->dueMs = nowMs_ + settings_.resendIntervalMs;
        ++it;
    }
    release(session);
}

uint32_t PlatformServer::injectCall(CallRecord call) {
    const uint32_t id = calls_.add(std::move(call));
    offerCall(id, nullptr);
    return id;
}

void PlatformServer::offerCall(uint32_t callId, const ConsoleSession* except) {
    const StoredCall* stored = calls_.find(callId);
    if (stored == nullptr || stored->state != CallState::Waiting) {
        return;
    }
    for (ConsoleSession* session : sessions()) {
        const Account* account = directory_.find(session->operatorId());
        if (session == except || session->state != SessionState::Active ||
            !session->loginComplete || account == nullptr ||
            !callInScope(stored->record, account->profile)) {
            continue;
        }
        send(*session, CMD_NEW_CALL, 0,
             [&](OutPacket& out) { stored->record.write(out, CallWireOrder::NewCall); });
        session->callsShown.insert(callId);
    }
    // A console waiting on an empty page of this call's list gets its page now; the page
    // itself holds only what that console may see.
    if (const auto list = callListOfCategory(stored->record.category)) {
        for (ConsoleSession* session : sessions()) {
            if (session->state == SessionState::Active) {
                releaseHeldList(*this, *session, list->request);
            }
        }
    }
}

void PlatformServer::withdrawCall(uint32_t callId, const ConsoleSession* except) {
    for (ConsoleSession* session : sessions()) {
        if (session->callsShown.erase(callId) != 0 && session != except) {
            send(*session, CMD_CALL_GONE, 0, [&](OutPacket& out) { out.writeInt(callId); });
        }
    }
}

std::optional<uint16_t> PlatformServer::pushRaw(uint32_t operatorId, uint16_t command,
                                                const std::vector<uint8_t>& body) {
    ConsoleSession* session = activeSession(operatorId);
    if (session == nullptr) {
        return std::nullopt;
    }
    return send(*session, command, 0,
                [&](OutPacket& out) { out.writeBytes(body.data(), body.size()); });
}

const std::deque<LogEntry>* PlatformServer::requestLog(uint32_t operatorId) const {
    auto found = logs_.find(operatorId);
    return found == logs_.end() ? nullptr : &found->second;
}

void PlatformServer::appendLog(uint32_t operatorId, LogEntry entry) {
    auto& log = logs_[operatorId];
    entry.index = log.empty() ? 0 : log.back().index + 1;
    log.push_back(std::move(entry));
    while (log.size() > settings_.logLimit) {
        log.pop_front();
    }
}

void PlatformServer::annotateLast(uint32_t operatorId, const std::string& note) {
    auto found = logs_.find(operatorId);
    if (found != logs_.end() && !found->second.empty()) {
        std::string& text = found->second.back().note;
        text = text.empty() ? note : text + "; " + note;
    }
}

} // namespace talmor::server
