#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/contactstore.h"
#include "protocol/environment.h"
#include "protocol/ownprofile.h"
#include "protocol/records.h"
#include "protocol/registeredwindow.h"
#include "protocol/sessionrecords.h"
#include "protocol/socketlayer.h"

namespace talmor {

class PeerSessions;
class PlatformClient;

// What a login reply means for the login.
enum class LoginVerdict { Proceed, WrongPassword, NeedsUpgrade };

constexpr uint32_t kClientVersion = 50;

LoginVerdict loginVerdict(uint16_t result, uint32_t requiredVersion);

// The one interface through which the protocol core reports what happened, and the state the
// core needs: the operator's profile, the contacts, the registered windows, the seat rights.
// The console's main window derives from it. The operations are declared in their fixed slot
// order; the ones marked "base" do work here that an override calls first.
//
// Lists are passed by value: the callee owns them. Data pointers (relayed file, voice and video
// bytes) point into the received datagram and are valid only during the call.
class ClientListener {
public:
    // Creates the platform client on the given environment and seeds `random` with the time.
    ClientListener(SocketLayer& sockets, HostResolver& resolver, TimerHost& timers,
                   const Clock& clock, Random& random);
    ClientListener(const ClientListener&) = delete;
    ClientListener& operator=(const ClientListener&) = delete;

    // Peer connections (slot 0) come with the peer session framework.

    // 1 (base): id 0 gives the own profile, else the contact's record, else none.
    virtual const UserRecord* FindUserRecord(uint32_t id) const;
    // 2: destroys the client and its session. The owner goes offline before (the exit path
    // does): peer sessions and timers may belong to the derived window, gone by now.
    virtual ~ClientListener();
    virtual void OnMessage(MessageRecord) {}
    virtual void OnContactList(std::vector<ContactEntry> contacts); // base
    virtual void OnLoginReply(const std::string& pw1, const std::string& pw2,
                              const std::string& pw3, const std::string& pw4, uint16_t result,
                              uint32_t accountValue, uint32_t requiredVersion); // base
    virtual void OnLoggedInElsewhere() {}
    virtual void OnGroupList(std::vector<GroupEntry> groups); // base
    virtual void OnGroupCreated(uint32_t) {}
    virtual void OnGroupNameChanged(uint32_t, const std::string&) {}
    virtual void OnGroupDeleted(uint32_t) {}
    virtual void OnUserInfo(const UserRecord& record); // base
    virtual void OnOwnProfile();                       // base; the profile is already stored
    virtual void OnContactOnline(uint32_t, uint32_t, uint32_t, uint16_t, uint16_t, uint32_t, bool) {
    }                                           // id, status, altAddress, altPort, messagePort,
                                                // peerAddress, from a list
    virtual void OnContactOffline(uint32_t id); // base
    virtual void OnContactStatus(uint32_t, uint32_t) {}
    virtual void OnUserSummaryList(std::vector<UserSummaryEntry>) {}
    virtual void OnContactMoved(uint32_t, uint32_t) {} // group id, user id
    virtual void OnContactDeleted(uint32_t) {}
    virtual void OnContactAdded(uint32_t) {}
    virtual void OnAddRequest(uint32_t) {}
    virtual void OnNotice525(uint32_t) {}
    virtual void OnNotice526(uint32_t) {}
    virtual void OnNotice527(uint32_t) {}
    virtual void OnFileOffer(uint32_t, uint32_t, const std::string&) {} // peer, size, name
    virtual void OnFileAccepted(uint32_t, uint16_t) {}
    virtual void OnFileCancelled(uint32_t) {}
    virtual void OnFileRelayReady(uint32_t, uint32_t, bool) {} // peer, bytes received, relayed
    // peer, data, length, bytes sent including this chunk
    virtual void OnFileRelayData(uint32_t, const uint8_t*, uint32_t, uint32_t) {}
    virtual void OnFileTransferDone(uint32_t) {}
    virtual void OnFileProgress(uint32_t, uint32_t, uint32_t) {} // peer, total, done
    virtual std::string GetTransferFilePath(uint32_t) { return {}; }
    virtual uint32_t GetTransferFileSize(uint32_t) { return 0; }
    virtual void OnVoiceOffer(uint32_t) {}
    virtual void OnVoiceAccepted(uint32_t, uint16_t) {}
    virtual void OnVoiceCancelled(uint32_t) {}
    virtual void OnVoiceChannelReady(uint32_t, bool) {}
    virtual void OnVoiceChannelStarted(uint32_t, bool) {}
    virtual void OnVoiceData(uint32_t, const uint8_t*, uint32_t) {}
    virtual void OnVideoOffer(uint32_t) {}
    virtual void OnVideoAccepted(uint32_t, uint16_t) {}
    virtual void OnVideoCancelled(uint32_t) {}
    virtual void OnVideoChannelReady(uint32_t, bool) {}
    virtual void OnVideoChannelStarted(uint32_t, bool) {}
    virtual void OnVideoData(uint32_t, const uint8_t*, uint32_t) {}
    virtual void OnScopeNotice(const std::string&) {}
    virtual void OnReminderSchedule(uint32_t, uint32_t) {} // enabled, minutes
    virtual void OnReserved47() {}
    virtual void OnReserved48() {}
    virtual void OnHelpCalls(std::vector<CallRecord>) {}
    virtual void OnSosCalls(std::vector<CallRecord>) {}
    // Slots 51 to 74, one per category pane: `pane` 0 to 23 tells which.
    virtual void OnCategoryCalls(int, std::vector<CallRecord>) {}
    virtual void OnServiceCalls(std::vector<CallRecord>) {}
    virtual void OnTakenCalls(std::vector<CallRecord>) {}
    virtual void OnNewCall(CallRecord) {}
    virtual void OnCallNoticeDone(uint32_t) {}
    virtual void OnCallNoticeDone2(uint32_t) {}
    virtual void OnCallMemoSaved(uint32_t) {}
    virtual void OnSearchResultA(std::vector<SearchEntryA>) {}
    virtual void OnSearchResultB(std::vector<SearchEntryB>) {}
    virtual void OnSearchResultC(std::vector<SearchEntryC>) {}
    virtual void OnSearchResultD(std::vector<SearchEntryD>) {}
    virtual void OnHelpTotal(uint32_t) {}
    virtual void OnSosTotal(uint32_t) {}
    virtual void OnProviderCount(uint32_t) {}
    virtual void OnCustomerCount(uint32_t) {}
    virtual void OnConnected(bool) {}
    virtual void OnRequestTimedOut(uint32_t number);                   // base
    virtual void OnSellerResult(std::vector<SellerEntry>, uint32_t) {} // entries, window key
    virtual void OnFamilyContact(uint32_t, const std::string&, const std::string&) {}
    virtual void OnFamilyContact2(uint32_t, const std::string&, const std::string&) {}
    virtual void OnCallGone(uint32_t) {}

    // Not a slot (base): a request to the server was acknowledged.
    virtual void OnRequestAcked(uint32_t number);
    // Not a slot (base): `peer` acknowledged the chat message `number` over its own session;
    // only the chat window with that peer may count it.
    virtual void OnPeerMessageAcked(uint32_t peer, uint32_t number);
    // Not a slot: the direct transfer with `peer` could not read or write its file (`error` is
    // the errno value, EFBIG for more bytes than announced, ECONNRESET when the session was cut
    // off before the file was whole; 0 when the file ended before its announced size). Its
    // session is closed.
    virtual void OnFileFailed(uint32_t, int) {}

    // Stores the status and addresses an online contact announced; a direct session whose
    // connect to its old address failed goes, so the next one tries the new address.
    void storePresence(uint32_t id, uint32_t status, uint32_t altAddress, uint16_t altPort,
                       uint16_t messagePort, uint32_t peerAddress);

    // Builds a received chat message and hands it to OnMessage.
    void deliverMessage(uint8_t kind, uint32_t senderId, uint32_t sendTime, const std::string& body,
                        bool viaServer);

    RegisteredWindow* findWindow(uint32_t windowType, uint32_t key, uint32_t key2) const {
        return windows_.findWindow(windowType, key, key2);
    }
    WindowRegistry& windows() { return windows_; }
    OwnProfile& own() { return own_; }
    const OwnProfile& own() const { return own_; }
    ContactStore& contacts() { return contacts_; }
    const ContactStore& contacts() const { return contacts_; }
    const std::array<std::string, kMultiLoginLevels>& multiLoginPasswords() const {
        return multiLoginPasswords_;
    }
    SeatRights& seatRights() { return seatRights_; }
    const SeatRights& seatRights() const { return seatRights_; }

    // The owner's direct sessions between consoles, or none; not owned.
    void setPeerSessions(PeerSessions* sessions) { peerSessions_ = sessions; }
    PeerSessions* peerSessions() const { return peerSessions_; }

    PlatformClient& client() { return *client_; }

private:
    OwnProfile own_;
    ContactStore contacts_;
    WindowRegistry windows_;
    std::array<std::string, kMultiLoginLevels> multiLoginPasswords_;
    SeatRights seatRights_;
    PeerSessions* peerSessions_ = nullptr;
    std::unique_ptr<PlatformClient> client_;
};

} // namespace talmor
