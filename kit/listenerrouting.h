#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kit/eventroutes.h"
#include "protocol/clientlistener.h"
#include "protocol/records.h"

namespace talmor {

// The protocol core's listener with the routes of the events that belong to other windows: the
// call panes and call windows, the contact pane and group dialogs, and the chat, media and search
// windows. Each slot here hands its event straight to its receiver in routes(); an event without
// a receiver is reported, not lost silently. The main window derives from it and overrides only
// the slots where it does work of its own, routing through the protected calls below.
class ListenerRouting : public ClientListener {
public:
    using ClientListener::ClientListener;

    EventRoutes& routes() { return routes_; }
    const EventRoutes& routes() const { return routes_; }

    void OnMessage(MessageRecord message) override;
    void OnGroupCreated(uint32_t groupId) override;
    void OnGroupNameChanged(uint32_t groupId, const std::string& name) override;
    void OnGroupDeleted(uint32_t groupId) override;
    void OnUserInfo(const UserRecord& record) override;
    void OnContactOffline(uint32_t userId) override;
    void OnContactMoved(uint32_t groupId, uint32_t userId) override;
    void OnContactDeleted(uint32_t userId) override;
    void OnContactAdded(uint32_t userId) override;
    void OnAddRequest(uint32_t userId) override;

    // Peer media, each kind to its own receiver. Events about a peer that is not a contact are
    // dropped, as the peers' sessions are only for contacts.
    void OnFileOffer(uint32_t peer, uint32_t size, const std::string& name) override;
    void OnFileAccepted(uint32_t peer, uint16_t port) override;
    void OnFileCancelled(uint32_t peer) override;
    void OnFileRelayReady(uint32_t peer, uint32_t received, bool relayed) override;
    void OnFileRelayData(uint32_t peer, const uint8_t* bytes, uint32_t length,
                         uint32_t sent) override;
    void OnFileTransferDone(uint32_t peer) override;
    void OnFileProgress(uint32_t peer, uint32_t total, uint32_t done) override;
    std::string GetTransferFilePath(uint32_t peer) override;
    uint32_t GetTransferFileSize(uint32_t peer) override;
    void OnFileFailed(uint32_t peer, int error) override;
    void OnVoiceOffer(uint32_t peer) override;
    void OnVoiceAccepted(uint32_t peer, uint16_t port) override;
    void OnVoiceCancelled(uint32_t peer) override;
    void OnVoiceChannelReady(uint32_t peer, bool relayed) override;
    void OnVoiceChannelStarted(uint32_t peer, bool relayed) override;
    void OnVoiceData(uint32_t peer, const uint8_t* bytes, uint32_t length) override;
    void OnVideoOffer(uint32_t peer) override;
    void OnVideoAccepted(uint32_t peer, uint16_t port) override;
    void OnVideoCancelled(uint32_t peer) override;
    void OnVideoChannelReady(uint32_t peer, bool relayed) override;
    void OnVideoChannelStarted(uint32_t peer, bool relayed) override;
    void OnVideoData(uint32_t peer, const uint8_t* bytes, uint32_t length) override;

    void OnSearchResultA(std::vector<SearchEntryA> entries) override;
    void OnSearchResultB(std::vector<SearchEntryB> entries) override;
    void OnSearchResultD(std::vector<SearchEntryD> entries) override;
    void OnSellerResult(std::vector<SellerEntry> entries, uint32_t windowKey) override;

    void OnCategoryCalls(int pane, std::vector<CallRecord> calls) override;
    void OnServiceCalls(std::vector<CallRecord> calls) override;
    void OnTakenCalls(std::vector<CallRecord> calls) override;
    void OnNewCall(CallRecord call) override;
    void OnCallNoticeDone(uint32_t callId) override;
    void OnCallNoticeDone2(uint32_t callId) override;
    void OnCallMemoSaved(uint32_t callId) override;
    void OnFamilyContact(uint32_t callKey, const std::string& name,
                         const std::string& phone) override;
    void OnFamilyContact2(uint32_t callKey, const std::string& name,
                          const std::string& phone) override;
    void OnCallGone(uint32_t callId) override;

    // Not events of the server: the login asked for the call lists again, the reminder timer
    // fired, a sound event is due, the operator went offline.
    void routeListsRequested();
    void routeReminderDue();
    void routeSound(int event);
    // Every transfer and talk ends as with a peer that left; the contact pane shows everyone
    // offline.
    void routeAllOffline();
    // Rows in the pane of category `code` (0 without the call panes).
    int callRowCount(int code) const;

protected:
    // For the slots the window overrides: the part of the event that goes to other windows.
    void routeGroupList(const std::vector<GroupEntry>& groups);
    void routeContactsLoaded(const std::vector<ContactEntry>& entries);
    void routeContactOnline(uint32_t userId, uint32_t status, bool fromList);
    void routeContactStatus(uint32_t userId, uint32_t status);
    void routeCallList(int list, std::vector<CallRecord> calls);

private:
    // An event about one contact: to the contact pane, and the contact's chat window learns of
    // the change.
    void aboutContact(const char* operation, uint32_t userId,
                      const std::function<void(ContactReceiver&)>& call);

    EventRoutes routes_;
};

} // namespace talmor
