#include "console/listenerrouting.h"

#include "protocol/clientlistener.h"
#include "protocol/platformclient.h"

namespace talmor {

namespace {

// Calls `call` with the receiver, or reports the event when there is none.
template <typename Receiver, typename Call>
void Route(Receiver* receiver, const char* operation, uint32_t key, Call call) {
    if (receiver == nullptr) {
        ReportUnrouted(operation, key);
        return;
    }
    call(*receiver);
}

// The receiver of an event of the contact `peer`'s session; events of strangers are dropped.
template <typename Receiver>
Receiver* PeerReceiver(const ClientListener& listener, Receiver* receiver, uint32_t peer,
                       const char* operation) {
    if (listener.contacts().find(peer) == nullptr) {
        return nullptr;
    }
    if (receiver == nullptr) {
        ReportUnrouted(operation, peer);
    }
    return receiver;
}

} // namespace

void ListenerRouting::aboutContact(const char* operation, uint32_t userId,
                                   const std::function<void(ContactReceiver&)>& call) {
    Route(routes_.contacts, operation, userId, call);
    if (routes_.messaging != nullptr) {
        routes_.messaging->onContactChanged(userId);
    }
}

void ListenerRouting::message(MessageRecord message) {
    Route(routes_.messaging, "OnMessage", message.peerId,
          [&](auto& r) { r.onMessage(std::move(message)); });
}

void ListenerRouting::groups(const std::vector<GroupEntry>& groups) {
    Route(routes_.contacts, "OnGroupList", static_cast<uint32_t>(groups.size()),
          [&](auto& r) { r.onGroupList(groups); });
}

void ListenerRouting::contactsLoaded(const std::vector<ContactEntry>& entries) {
    Route(routes_.contacts, "OnContactList", static_cast<uint32_t>(listener_.contacts().size()),
          [&](auto& r) { r.onContactsLoaded(entries); });
}

void ListenerRouting::groupCreated(uint32_t groupId) {
    Route(routes_.contacts, "OnGroupCreated", groupId, [&](auto& r) { r.onGroupCreated(groupId); });
}

void ListenerRouting::groupNameChanged(uint32_t groupId, const std::string& name) {
    Route(routes_.contacts, "OnGroupNameChanged", groupId,
          [&](auto& r) { r.onGroupNameChanged(groupId, name); });
}

void ListenerRouting::groupDeleted(uint32_t groupId) {
    std::vector<uint32_t> members;
    Route(routes_.contacts, "OnGroupDeleted", groupId,
          [&](auto& r) { members = r.onGroupDeleted(groupId); });
    // The chat side holds contacts' records too: each member's record is gone.
    if (routes_.messaging != nullptr) {
        for (uint32_t member : members) {
            routes_.messaging->onContactChanged(member);
        }
    }
}

void ListenerRouting::userInfo(uint32_t userId) {
    aboutContact("OnUserInfo", userId, [&](ContactReceiver& r) { r.onUserInfo(userId); });
}

void ListenerRouting::contactOnline(uint32_t userId, uint32_t status, bool fromList) {
    aboutContact("OnContactOnline", userId,
                 [&](ContactReceiver& r) { r.onContactOnline(userId, status, fromList); });
}

void ListenerRouting::contactOffline(uint32_t userId) {
    aboutContact("OnContactOffline", userId,
                 [&](ContactReceiver& r) { r.onContactOffline(userId); });
    if (routes_.file != nullptr) {
        routes_.file->onPeerOffline(userId);
    }
}

void ListenerRouting::contactStatus(uint32_t userId, uint32_t status) {
    aboutContact("OnContactStatus", userId,
                 [&](ContactReceiver& r) { r.onContactStatus(userId, status); });
}

void ListenerRouting::contactMoved(uint32_t groupId, uint32_t userId) {
    Route(routes_.contacts, "OnContactMoved", userId,
          [&](auto& r) { r.onContactMoved(groupId, userId); });
}

void ListenerRouting::contactDeleted(uint32_t userId) {
    aboutContact("OnContactDeleted", userId,
                 [&](ContactReceiver& r) { r.onContactDeleted(userId); });
}

void ListenerRouting::contactAdded(uint32_t userId) {
    Route(routes_.contacts, "OnContactAdded", userId, [&](auto& r) { r.onContactAdded(userId); });
}

void ListenerRouting::addRequest(uint32_t userId) {
    Route(routes_.contacts, "OnAddRequest", userId, [&](auto& r) { r.onAddRequest(userId); });
}

void ListenerRouting::allOffline() {
    if (routes_.contacts != nullptr) {
        routes_.contacts->onAllOffline();
    }
    // The operator went offline: every transfer and talk ends here as with a peer that left.
    for (const auto& record : listener_.contacts().records()) {
        const uint32_t peer = record->id;
        if (routes_.file != nullptr) {
            routes_.file->onPeerOffline(peer);
        }
        if (routes_.voice != nullptr) {
            routes_.voice->onCancelled(peer);
        }
        if (routes_.video != nullptr) {
            routes_.video->onCancelled(peer);
        }
    }
}

void ListenerRouting::fileOffer(uint32_t peer, uint32_t size, const std::string& name) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileOffer")) {
        r->onFileOffer(peer, size, name);
    }
}

void ListenerRouting::fileAccepted(uint32_t peer, uint16_t port) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileAccepted")) {
        r->onFileAccepted(peer, port);
    }
}

void ListenerRouting::fileCancelled(uint32_t peer) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileCancelled")) {
        r->onFileCancelled(peer);
    }
}

void ListenerRouting::fileRelayReady(uint32_t peer, uint32_t received, bool relayed) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileRelayReady")) {
        r->onFileRelayReady(peer, received, relayed);
    }
}

void ListenerRouting::fileRelayData(uint32_t peer, const uint8_t* bytes, uint32_t length,
                                    uint32_t sent) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileRelayData")) {
        r->onFileRelayData(peer, bytes, length, sent);
    }
}

void ListenerRouting::fileTransferDone(uint32_t peer) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileTransferDone")) {
        r->onFileTransferDone(peer);
    }
}

void ListenerRouting::fileProgress(uint32_t peer, uint32_t total, uint32_t done) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileProgress")) {
        r->onFileProgress(peer, total, done);
    }
}

std::string ListenerRouting::transferFilePath(uint32_t peer) {
    auto* r = PeerReceiver(listener_, routes_.file, peer, "GetTransferFilePath");
    return r != nullptr ? r->transferFilePath(peer) : std::string();
}

uint32_t ListenerRouting::transferFileSize(uint32_t peer) {
    auto* r = PeerReceiver(listener_, routes_.file, peer, "GetTransferFileSize");
    return r != nullptr ? r->transferFileSize(peer) : 0;
}

void ListenerRouting::fileFailed(uint32_t peer, int error) {
    if (auto* r = PeerReceiver(listener_, routes_.file, peer, "OnFileFailed")) {
        r->onFileFailed(peer, error);
    }
}

void ListenerRouting::voiceOffer(uint32_t peer) {
    if (auto* r = PeerReceiver(listener_, routes_.voice, peer, "OnVoiceOffer")) {
        r->onOffer(peer);
    }
}

void ListenerRouting::voiceAccepted(uint32_t peer, uint16_t port) {
    if (auto* r = PeerReceiver(listener_, routes_.voice, peer, "OnVoiceAccepted")) {
        r->onAccepted(peer, port);
    }
}

void ListenerRouting::voiceCancelled(uint32_t peer) {
    if (auto* r = PeerReceiver(listener_, routes_.voice, peer, "OnVoiceCancelled")) {
        r->onCancelled(peer);
    }
}

void ListenerRouting::voiceChannelReady(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(listener_, routes_.voice, peer, "OnVoiceChannelReady")) {
        r->onChannelReady(peer, relayed);
    }
}

void ListenerRouting::voiceChannelStarted(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(listener_, routes_.voice, peer, "OnVoiceChannelStarted")) {
        r->onChannelStarted(peer, relayed);
    }
}

void ListenerRouting::voiceData(uint32_t peer, const uint8_t* bytes, uint32_t length) {
    if (auto* r = PeerReceiver(listener_, routes_.voice, peer, "OnVoiceData")) {
        r->onData(peer, bytes, length);
    }
}

void ListenerRouting::videoOffer(uint32_t peer) {
    if (auto* r = PeerReceiver(listener_, routes_.video, peer, "OnVideoOffer")) {
        r->onOffer(peer);
    }
}

void ListenerRouting::videoAccepted(uint32_t peer, uint16_t port) {
    if (auto* r = PeerReceiver(listener_, routes_.video, peer, "OnVideoAccepted")) {
        r->onAccepted(peer, port);
    }
}

void ListenerRouting::videoCancelled(uint32_t peer) {
    if (auto* r = PeerReceiver(listener_, routes_.video, peer, "OnVideoCancelled")) {
        r->onCancelled(peer);
    }
}

void ListenerRouting::videoChannelReady(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(listener_, routes_.video, peer, "OnVideoChannelReady")) {
        r->onChannelReady(peer, relayed);
    }
}

void ListenerRouting::videoChannelStarted(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(listener_, routes_.video, peer, "OnVideoChannelStarted")) {
        r->onChannelStarted(peer, relayed);
    }
}

void ListenerRouting::videoData(uint32_t peer, const uint8_t* bytes, uint32_t length) {
    if (auto* r = PeerReceiver(listener_, routes_.video, peer, "OnVideoData")) {
        r->onData(peer, bytes, length);
    }
}

void ListenerRouting::searchResultA(std::vector<SearchEntryA> entries) {
    Route(routes_.search, "OnSearchResultA", static_cast<uint32_t>(entries.size()),
          [&](auto& r) { r.onSearchResultA(std::move(entries), listener_.client().lastAckSeq()); });
}

void ListenerRouting::searchResultB(std::vector<SearchEntryB> entries) {
    Route(routes_.search, "OnSearchResultB", static_cast<uint32_t>(entries.size()),
          [&](auto& r) { r.onSearchResultB(std::move(entries), listener_.client().lastAckSeq()); });
}

void ListenerRouting::searchResultD(std::vector<SearchEntryD> entries) {
    Route(routes_.search, "OnSearchResultD", static_cast<uint32_t>(entries.size()),
          [&](auto& r) { r.onSearchResultD(std::move(entries), listener_.client().lastAckSeq()); });
}

void ListenerRouting::sellerResult(std::vector<SellerEntry> entries, uint32_t key) {
    Route(routes_.handling, "OnSellerResult", key,
          [&](auto& r) { r.onSellerResult(std::move(entries), key); });
}

void ListenerRouting::callList(int list, std::vector<CallRecord> calls) {
    if (list == ListCursors::kTaken) {
        Route(routes_.handling, "OnTakenCalls", static_cast<uint32_t>(calls.size()),
              [&](auto& r) { r.onTakenCalls(std::move(calls)); });
        return;
    }
    if (routes_.calls == nullptr) {
        if (!calls.empty()) {
            ReportUnrouted("call list", static_cast<uint32_t>(list));
        }
        return;
    }
    routes_.calls->onCallList(list, std::move(calls));
}

void ListenerRouting::newCall(CallRecord call) {
    Route(routes_.calls, "OnNewCall", call.callId, [&](auto& r) { r.onNewCall(std::move(call)); });
}

void ListenerRouting::callGone(uint32_t callId) {
    Route(routes_.calls, "OnCallGone", callId, [&](auto& r) { r.onCallGone(callId); });
    if (routes_.handling != nullptr) {
        routes_.handling->onCallGone(callId);
    }
}

void ListenerRouting::callNoticeDone(uint32_t callId, bool second) {
    Route(routes_.handling, second ? "OnCallNoticeDone2" : "OnCallNoticeDone", callId,
          [&](auto& r) { r.onCallNoticeDone(callId, second); });
}

void ListenerRouting::callMemoSaved(uint32_t callId) {
    Route(routes_.handling, "OnCallMemoSaved", callId, [&](auto& r) { r.onCallMemoSaved(callId); });
    if (routes_.calls != nullptr) {
        routes_.calls->onCallMemoSaved(callId);
    }
}

void ListenerRouting::familyContact(bool second, uint32_t key, const std::string& name,
                                    const std::string& phone) {
    Route(routes_.handling, second ? "OnFamilyContact2" : "OnFamilyContact", key,
          [&](auto& r) { r.onFamilyContact(second, key, name, phone); });
}

void ListenerRouting::listsRequested() {
    if (routes_.calls != nullptr) {
        routes_.calls->onListsRequested();
    }
    if (routes_.handling != nullptr) {
        routes_.handling->onListsRequested();
    }
}

void ListenerRouting::reminderDue() {
    Route(routes_.calls, "reminder timer", 0, [&](auto& r) { r.onReminderDue(); });
}

void ListenerRouting::playSound(int event) {
    Route(routes_.sounds, "sound event", static_cast<uint32_t>(event),
          [&](auto& r) { r.playSoundEvent(event); });
}

int ListenerRouting::rowCount(int code) const {
    return routes_.calls != nullptr ? routes_.calls->rowCount(code) : 0;
}

} // namespace talmor
