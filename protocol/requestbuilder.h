#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "protocol/ownprofile.h"
#include "protocol/queryrecords.h"
#include "protocol/udpsession.h"

namespace talmor {

// Relayed data fits the enciphered body (4072 bytes) with its u32 fields.
constexpr std::size_t kMaxFileRelayData = 4060;
constexpr std::size_t kMaxMediaRelayData = 4064;
// The port field of the offers: a constant, the real port comes with the acceptance.
constexpr uint16_t kOfferPort = 8010;

// Told of each handling request that goes out about one call (the handling journal listens).
class CallRequestObserver {
public:
    virtual ~CallRequestObserver() = default;
    // `command` is the request's code; `detail` what it says beyond the call (GBK): the number
    // for a blacklisting or an SMS, the report's text, the merchant of a notice.
    // Called before the request is sent.
    virtual void onCallRequest(uint16_t command, uint32_t callId, const std::string& detail) = 0;
};

// One builder per request the console sends. Each writes the body in wire order, queues the
// request with the session and returns its seq, by which the acknowledgement, the time-out and
// the reply (its ackSeq) find the window that sent it. The scope blocks come from the own
// profile.
class RequestBuilder {
public:
    RequestBuilder(UdpSession& session, const OwnProfile& own);
    virtual ~RequestBuilder() = default;
    RequestBuilder(const RequestBuilder&) = delete;
    RequestBuilder& operator=(const RequestBuilder&) = delete;

    // Session and profile.
    uint16_t getContacts();
    uint16_t sendStatus(uint32_t status);
    uint16_t getUserInfo(uint32_t userId);
    uint16_t getOwnProfile();
    uint16_t getGroups();
    uint16_t getRights();
    uint16_t getScopeCode();
    uint16_t getScopeNotice();
    uint16_t getReminder();

    // Contacts, groups and chat.
    uint16_t createGroup(const std::string& name);
    uint16_t renameGroup(uint32_t groupId, const std::string& name);
    uint16_t deleteGroup(uint32_t groupId);
    uint16_t moveNewContact(uint32_t contactId, uint32_t groupId);
    uint16_t sendMessage(uint8_t kind, uint32_t peerId, const std::string& body);
    uint16_t moveContact(uint32_t groupId, uint32_t contactId);
    uint16_t deleteContact(uint32_t contactId);
    uint16_t addContact(uint32_t userId, uint32_t groupId);

    // Peer media negotiation and relay. The data requests return 0 (nothing sent) when the
    // data would not fit one datagram.
    uint16_t fileOffer(uint32_t peerId, uint32_t fileSize, const std::string& fileName);
    uint16_t fileAccept(uint32_t peerId, uint16_t port);
    uint16_t fileCancel(uint32_t peerId);
    uint16_t fileRelayAsk(uint32_t peerId);
    uint16_t fileRelayAnswer(uint32_t peerId, uint32_t bytesReceived);
    uint16_t fileRelayData(uint32_t peerId, const uint8_t* data, std::size_t length,
                           uint32_t bytesSent);
    uint16_t voiceOffer(uint32_t peerId);
    uint16_t voiceAccept(uint32_t peerId, uint16_t port);
    uint16_t voiceCancel(uint32_t peerId);
    uint16_t voiceRelayAsk(uint32_t peerId);
    uint16_t voiceRelayAnswer(uint32_t peerId);
    uint16_t voiceRelayData(uint32_t peerId, const uint8_t* data, std::size_t length);
    uint16_t videoOffer(uint32_t peerId);
    uint16_t videoAccept(uint32_t peerId, uint16_t port);
    uint16_t videoCancel(uint32_t peerId);
    uint16_t videoRelayAsk(uint32_t peerId);
    uint16_t videoRelayAnswer(uint32_t peerId);
    uint16_t videoRelayData(uint32_t peerId, const uint8_t* data, std::size_t length);

    // Call lists and call handling. `pane` is 0 to 23.
    uint16_t getHelpCalls(uint32_t startId);
    uint16_t getSosCalls(uint32_t startId);
    uint16_t getCategoryCalls(int pane, uint32_t startId);
    uint16_t getServiceCalls(uint32_t startId);
    uint16_t getTakenCalls(uint32_t startId);
    uint16_t takeCall(uint32_t callId);
    uint16_t giveUpCall(uint32_t callId);
    uint16_t misdial(uint32_t callId);
    uint16_t blacklist(uint32_t callId, const std::string& phone);
    uint16_t callReport(uint32_t callId, const std::string& report);
    uint16_t serviceNotice2(const ServiceNotice& notice);
    uint16_t getFamily(uint32_t callId, uint32_t userId);
    uint16_t getFamily2(uint32_t callId, uint32_t userId);
    uint16_t sosSms(uint32_t callId, const std::string& phone, const std::string& message);

    // Searches and statistics.
    uint16_t searchUsers(const UserSearch& search);
    uint16_t searchProviders(const ProviderSearch& search);
    uint16_t searchColleagues(const ColleagueSearch& search);
    uint16_t sellerQuery(const SellerQuery& query);
    uint16_t getCount1();
    uint16_t getCount2();
    uint16_t getTotal1();
    uint16_t getTotal2();

    // The request for one of the call lists (see ListCursors), starting after `startId`.
    uint16_t getCallList(int list, uint32_t startId);

    // Null for none; the observer outlives the builder or is reset first.
    void setCallRequestObserver(CallRequestObserver* observer) { callObserver_ = observer; }

private:
    // Tells the observer of a handling request before it leaves, so that what records it never
    // lags behind what the server got.
    void tell(uint16_t command, uint32_t callId, const std::string& detail);
    std::unique_ptr<OutPacket> begin(uint16_t command) { return session_.newRequest(command); }
    uint16_t send(std::unique_ptr<OutPacket> packet) {
        return session_.queueAndSend(std::move(packet));
    }
    template <typename Body> uint16_t sendBody(uint16_t command, const Body& body) {
        auto packet = begin(command);
        body.write(*packet);
        return send(std::move(packet));
    }
    uint16_t sendEmpty(uint16_t command);
    uint16_t sendInt(uint16_t command, uint32_t value);
    uint16_t sendInts(uint16_t command, uint32_t first, uint32_t second);
    uint16_t sendIntText(uint16_t command, uint32_t value, const std::string& text);
    uint16_t sendIntShort(uint16_t command, uint32_t value, uint16_t second);
    uint16_t sendScoped(uint16_t command, bool withCode, std::optional<uint32_t> startId);
    uint16_t sendTotal(uint16_t command);
    uint16_t sendRelayData(uint16_t command, uint32_t peerId, const uint8_t* data,
                           std::size_t length, std::optional<uint32_t> bytesSent);

    UdpSession& session_;
    const OwnProfile& own_;
    CallRequestObserver* callObserver_ = nullptr;
};

} // namespace talmor
