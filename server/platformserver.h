#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/environment.h"
#include "protocol/packet.h"
#include "server/callstore.h"
#include "server/consolesession.h"
#include "server/directory.h"
#include "server/mediatalks.h"
#include "server/messagestore.h"
#include "server/serversettings.h"
#include "server/unansweredport.h"

namespace talmor::server {

// Where the server's datagrams go: the real socket, or a test's recorder.
class DatagramSink {
public:
    virtual ~DatagramSink() = default;
    virtual void sendDatagram(const Endpoint& to, const uint8_t* bytes, std::size_t size) = 0;
};

// One request a console sent, as the control API shows it (body deciphered, padding included).
struct LogEntry {
    uint64_t index = 0; // running number per operator, for reading the log in pieces
    int64_t timeMs = 0;
    uint32_t sessionId = 0;
    uint16_t command = 0;
    uint16_t seq = 0;
    std::string body;
    std::string note;
};

class PlatformServer;

// The address an operator's presence announces: the real ones; none (altAddress 0, so peers
// never try a direct session); or one that cannot be reached (peers try, fail and fall back).
enum class AddressMode { Real, None, Unreachable };

// A console request on its way to its handler.
struct Request {
    PlatformServer& server;
    ConsoleSession& session;
    InPacket& in;
    uint16_t seq;

    uint32_t operatorId() const { return session.operatorId(); }
    // Answers on the requesting session; the answer carries the request's number as ackSeq so
    // the console routes it to the window that asked.
    void reply(uint16_t command, const std::function<void(OutPacket&)>& body);
    void note(const std::string& text);
};

using Handler = void (*)(Request&);
using HandlerTable = std::unordered_map<uint16_t, Handler>;

// The platform server's protocol engine, free of sockets and clocks: it is fed datagrams and
// the time, and sends through a DatagramSink. One engine serves every console.
class PlatformServer {
public:
    PlatformServer(Directory& directory, CallStore& calls, DatagramSink& out, Random& random,
                   ServerSettings settings);
    ~PlatformServer();
    PlatformServer(const PlatformServer&) = delete;
    PlatformServer& operator=(const PlatformServer&) = delete;

    void receive(const uint8_t* bytes, std::size_t size, const Endpoint& from, int64_t nowMs);
    // Retransmissions, given-up packets and silent consoles.
    void tick(int64_t nowMs);

    Directory& directory() { return directory_; }
    // Chat messages kept for operators whose console cannot take them yet (in memory unless
    // a store is set).
    MessageStore& messages() { return *messages_; }
    void setMessageStore(std::unique_ptr<MessageStore> store) { messages_ = std::move(store); }
    MediaTalks& talks() { return talks_; }
    // Which address an operator's presence announces to its contacts. Choosing "unreachable"
    // opens the unanswered port; false when the system refuses it (the mode stays as it was).
    AddressMode addressMode(uint32_t operatorId) const;
    bool setAddressMode(uint32_t operatorId, AddressMode mode);
    const UnansweredPort& unansweredPort() const { return unanswered_; }
    // Requests `command` from `operatorId` that the server drops unanswered, as if lost on the
    // way, while withheld (so a test sees the console's time-out).
    void setWithheld(uint32_t operatorId, uint16_t command, bool withheld);
    CallStore& calls() { return calls_; }
    const ServerSettings& settings() const { return settings_; }
    int64_t nowMs() const { return nowMs_; }
    uint32_t nowSeconds() const { return static_cast<uint32_t>(nowMs_ / 1000); }

    // Sends a packet to a console; every packet but the keep-alive answer is repeated until
    // acknowledged (or given up). Returns its sequence number.
    uint16_t send(ConsoleSession& session, uint16_t command, uint16_t ackSeq,
                  const std::function<void(OutPacket&)>& body);
    // Sends `count` entries as lists of `command` (a u16 count, then entries), as many per
    // packet as fit; with `onePage` only the first packet goes. Returns the entries sent and
    // sets `lastSeq` to the last packet's number.
    std::size_t sendList(ConsoleSession& session, uint16_t command, uint16_t ackSeq,
                         std::size_t count,
                         const std::function<void(std::size_t, OutPacket&)>& writeEntry,
                         bool onePage, uint16_t* lastSeq = nullptr);

    // The logged-in session of an operator; none when it is not logged in.
    ConsoleSession* activeSession(uint32_t operatorId);
    std::vector<ConsoleSession*> sessions();
    // Ends a session after the current datagram; contacts see the operator leave.
    void endSession(ConsoleSession& session, const std::string& reason);

    // A call arrives: it waits in the store and goes to every ready console whose operator
    // watches its area. Returns its callId.
    uint32_t injectCall(CallRecord call);
    // Offers a waiting call to the ready consoles in scope, except `except`.
    void offerCall(uint32_t callId, const ConsoleSession* except);
    // Withdraws a call from every console that was shown it, except `except` (1867).
    void withdrawCall(uint32_t callId, const ConsoleSession* except);
    // Sends any command with a raw body to an operator's console; none when it is not logged in.
    std::optional<uint16_t> pushRaw(uint32_t operatorId, uint16_t command,
                                    const std::vector<uint8_t>& body);

    // Requests received from an operator's consoles, oldest first.
    const std::deque<LogEntry>* requestLog(uint32_t operatorId) const;
    void appendLog(uint32_t operatorId, LogEntry entry);
    // Adds a remark to the operator's latest request (what the server made of it).
    void annotateLast(uint32_t operatorId, const std::string& note);
    // One line per notable event (logins, drops, give-ups), for the server's output.
    void setEventLog(std::function<void(const std::string&)> sink) { eventLog_ = std::move(sink); }
    void event(const std::string& line);

private:
    using SessionKey = std::pair<Endpoint, uint32_t>;

    void login(InPacket& header, const uint8_t* bytes, std::size_t size, const Endpoint& from);
    void request(ConsoleSession& session, const uint8_t* bytes, std::size_t size);
    void acknowledged(ConsoleSession& session, uint16_t seq);
    void transmit(const ConsoleSession& session, const OutPacket& packet);
    // Sends a packet for the first time and keeps it until acknowledged.
    void launch(ConsoleSession& session, OutgoingPacket outgoing);
    // Sends held packets while the send window has room.
    void release(ConsoleSession& session);
    void resend(ConsoleSession& session);
    void sweep();

    Directory& directory_;
    CallStore& calls_;
    DatagramSink& out_;
    Random& random_;
    ServerSettings settings_;
    HandlerTable handlers_;
    int64_t nowMs_ = 0;

    std::map<SessionKey, std::unique_ptr<ConsoleSession>> sessions_;
    std::unordered_map<uint32_t, ConsoleSession*> byOperator_;
    std::vector<ConsoleSession*> ended_;
    std::map<uint32_t, std::deque<LogEntry>> logs_;
    std::function<void(const std::string&)> eventLog_;
    std::unique_ptr<MessageStore> messages_;
    MediaTalks talks_;
    std::map<uint32_t, AddressMode> addressModes_;
    UnansweredPort unanswered_;
    std::set<std::pair<uint32_t, uint16_t>> withheld_; // (operator, command)
};

} // namespace talmor::server
