#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "console/eventroutes.h"
#include "protocol/records.h"

namespace talmor {

class ClientListener;

// Hands the server events that belong to other windows to their receivers: the call panes and
// call windows, the contact pane and group dialogs, and the chat, media and search windows.
// An event without a receiver is reported, not lost silently.
class ListenerRouting {
public:
    explicit ListenerRouting(ClientListener& listener) : listener_(listener) {}

    EventRoutes& routes() { return routes_; }
    const EventRoutes& routes() const { return routes_; }

    void message(MessageRecord message);
    void groups(const std::vector<GroupEntry>& groups);
    void contactsLoaded(const std::vector<ContactEntry>& entries);
    void groupCreated(uint32_t groupId);
    void groupNameChanged(uint32_t groupId, const std::string& name);
    void groupDeleted(uint32_t groupId);
    void userInfo(uint32_t userId);
    void contactOnline(uint32_t userId, uint32_t status, bool fromList);
    void contactOffline(uint32_t userId);
    void contactStatus(uint32_t userId, uint32_t status);
    void contactMoved(uint32_t groupId, uint32_t userId);
    void contactDeleted(uint32_t userId);
    void contactAdded(uint32_t userId);
    void addRequest(uint32_t userId);
    void allOffline();

    // Peer media, each kind to its own receiver. Events about a peer that is not a contact are
    // dropped, as the peers' sessions are only for contacts.
    void fileOffer(uint32_t peer, uint32_t size, const std::string& name);
    void fileAccepted(uint32_t peer, uint16_t port);
    void fileCancelled(uint32_t peer);
    void fileRelayReady(uint32_t peer, uint32_t received, bool relayed);
    void fileRelayData(uint32_t peer, const uint8_t* bytes, uint32_t length, uint32_t sent);
    void fileTransferDone(uint32_t peer);
    void fileProgress(uint32_t peer, uint32_t total, uint32_t done);
    std::string transferFilePath(uint32_t peer);
    uint32_t transferFileSize(uint32_t peer);
    void fileFailed(uint32_t peer, int error);
    void voiceOffer(uint32_t peer);
    void voiceAccepted(uint32_t peer, uint16_t port);
    void voiceCancelled(uint32_t peer);
    void voiceChannelReady(uint32_t peer, bool relayed);
    void voiceChannelStarted(uint32_t peer, bool relayed);
    void voiceData(uint32_t peer, const uint8_t* bytes, uint32_t length);
    void videoOffer(uint32_t peer);
    void videoAccepted(uint32_t peer, uint16_t port);
    void videoCancelled(uint32_t peer);
    void videoChannelReady(uint32_t peer, bool relayed);
    void videoChannelStarted(uint32_t peer, bool relayed);
    void videoData(uint32_t peer, const uint8_t* bytes, uint32_t length);

    void searchResultA(std::vector<SearchEntryA> entries);
    void searchResultB(std::vector<SearchEntryB> entries);
    void searchResultD(std::vector<SearchEntryD> entries);
    void sellerResult(std::vector<SellerEntry> entries, uint32_t key);

    void callList(int list, std::vector<CallRecord> calls);
    void newCall(CallRecord call);
    void callGone(uint32_t callId);
    void callNoticeDone(uint32_t callId, bool second);
    void callMemoSaved(uint32_t callId);
    void familyContact(bool second, uint32_t key, const std::string& name,
                       const std::string& phone);
    void listsRequested();
    void reminderDue();
    void playSound(int event);
    int rowCount(int code) const;

private:
    // An event about one contact: to the contact pane, and the contact's chat window learns of
    // the change.
    void aboutContact(const char* operation, uint32_t userId,
                      const std::function<void(ContactReceiver&)>& call);

    ClientListener& listener_;
    EventRoutes routes_;
};

} // namespace talmor
