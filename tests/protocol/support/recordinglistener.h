#pragma once

#include <string>
#include <vector>

#include "protocol/clientlistener.h"
#include "protocol/peersessions.h"

namespace talmor::testing {

// Records every listener operation as one line, "Name(arg,arg,...)", with lists shown as their
// length and the ids of their entries. The operations with a base behaviour run it after
// recording, as the console's window does.
class RecordingListener : public ClientListener {
public:
    using ClientListener::ClientListener;

    std::vector<std::string> events;
    // The client's lastAckSeq when each event was recorded.
    std::vector<uint16_t> eventAckSeqs;
    // The last records handed over, for checks of more fields than the event line shows.
    std::vector<CallRecord> lastCalls;
    MessageRecord lastMessage;
    bool runBase = true;
    std::string transferPath;
    uint32_t transferSize = 0;

    void OnMessage(MessageRecord message) override;
    void OnContactList(std::vector<ContactEntry> contacts) override;
    void OnLoginReply(const std::string& pw1, const std::string& pw2, const std::string& pw3,
                      const std::string& pw4, uint16_t result, uint32_t accountValue,
                      uint32_t requiredVersion) override;
    void OnLoggedInElsewhere() override;
    void OnGroupList(std::vector<GroupEntry> groups) override;
    void OnGroupCreated(uint32_t id) override;
    void OnGroupNameChanged(uint32_t id, const std::string& name) override;
    void OnGroupDeleted(uint32_t id) override;
    void OnUserInfo(const UserRecord& record) override;
    void OnOwnProfile() override;
    void OnContactOnline(uint32_t id, uint32_t status, uint32_t altAddress, uint16_t altPort,
                         uint16_t messagePort, uint32_t peerAddress, bool fromList) override;
    void OnContactOffline(uint32_t id) override;
    void OnContactStatus(uint32_t id, uint32_t status) override;
    void OnUserSummaryList(std::vector<UserSummaryEntry> list) override;
    void OnContactMoved(uint32_t group, uint32_t user) override;
    void OnContactDeleted(uint32_t id) override;
    void OnContactAdded(uint32_t id) override;
    void OnAddRequest(uint32_t id) override;
    void OnNotice525(uint32_t value) override;
    void OnNotice526(uint32_t value) override;
    void OnNotice527(uint32_t value) override;
    void OnFileOffer(uint32_t peer, uint32_t size, const std::string& name) override;
    void OnFileAccepted(uint32_t peer, uint16_t port) override;
    void OnFileCancelled(uint32_t peer) override;
    void OnFileRelayReady(uint32_t peer, uint32_t received, bool relayed) override;
    void OnFileRelayData(uint32_t peer, const uint8_t* data, uint32_t length,
                         uint32_t sent) override;
    void OnFileTransferDone(uint32_t peer) override;
    void OnFileProgress(uint32_t peer, uint32_t total, uint32_t done) override;
    void OnFileFailed(uint32_t peer, int error) override;
    // Answer with transferPath and transferSize.
    std::string GetTransferFilePath(uint32_t peer) override;
    uint32_t GetTransferFileSize(uint32_t peer) override;
    void OnVoiceOffer(uint32_t peer) override;
    void OnVoiceAccepted(uint32_t peer, uint16_t port) override;
    void OnVoiceCancelled(uint32_t peer) override;
    void OnVoiceChannelReady(uint32_t peer, bool relayed) override;
    void OnVoiceChannelStarted(uint32_t peer, bool relayed) override;
    void OnVoiceData(uint32_t peer, const uint8_t* data, uint32_t length) override;
    void OnVideoOffer(uint32_t peer) override;
    void OnVideoAccepted(uint32_t peer, uint16_t port) override;
    void OnVideoCancelled(uint32_t peer) override;
    void OnVideoChannelReady(uint32_t peer, bool relayed) override;
    void OnVideoChannelStarted(uint32_t peer, bool relayed) override;
    void OnVideoData(uint32_t peer, const uint8_t* data, uint32_t length) override;
    void OnScopeNotice(const std::string& text) override;
    void OnReminderSchedule(uint32_t enabled, uint32_t minutes) override;
    void OnHelpCalls(std::vector<CallRecord> calls) override;
    void OnSosCalls(std::vector<CallRecord> calls) override;
    void OnCategoryCalls(int pane, std::vector<CallRecord> calls) override;
    void OnServiceCalls(std::vector<CallRecord> calls) override;
    void OnTakenCalls(std::vector<CallRecord> calls) override;
    void OnNewCall(CallRecord call) override;
    void OnCallNoticeDone(uint32_t callId) override;
    void OnCallMemoSaved(uint32_t callId) override;
    void OnSearchResultA(std::vector<SearchEntryA> list) override;
    void OnSearchResultB(std::vector<SearchEntryB> list) override;
    void OnSearchResultC(std::vector<SearchEntryC> list) override;
    void OnSearchResultD(std::vector<SearchEntryD> list) override;
    void OnHelpTotal(uint32_t count) override;
    void OnSosTotal(uint32_t count) override;
    void OnProviderCount(uint32_t count) override;
    void OnCustomerCount(uint32_t count) override;
    void OnConnected(bool up) override;
    void OnRequestTimedOut(uint32_t number) override;
    void OnSellerResult(std::vector<SellerEntry> list, uint32_t key) override;
    void OnFamilyContact(uint32_t key, const std::string& name, const std::string& phone) override;
    void OnFamilyContact2(uint32_t key, const std::string& name, const std::string& phone) override;
    void OnCallGone(uint32_t callId) override;
    void OnRequestAcked(uint32_t number) override;
    void OnPeerMessageAcked(uint32_t peer, uint32_t number) override;

private:
    void record(const std::string& line);
};

// Records what the login and presence logic asks of the peer sessions.
class RecordingPeerSessions : public PeerSessions {
public:
    uint16_t listenFor(const std::string& kind) override;
    void closeSessionsWith(uint32_t peer) override;
    void closeContactSessions(bool all) override;
    void contactOnline(uint32_t peer) override;

    std::vector<std::string> calls;
    uint16_t port = 0;
};

} // namespace talmor::testing
