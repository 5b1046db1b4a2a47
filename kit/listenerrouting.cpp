#include "kit/listenerrouting.h"

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

void ListenerRouting::OnMessage(MessageRecord message) {
    Route(routes_.messaging, "OnMessage", message.peerId,
          [&](auto& r) { r.onMessage(std::move(message)); });
}

void ListenerRouting::routeGroupList(const std::vector<GroupEntry>& groups) {
    Route(routes_.contacts, "OnGroupList", static_cast<uint32_t>(groups.size()),
          [&](auto& r) { r.onGroupList(groups); });
}

void ListenerRouting::routeContactsLoaded(const std::vector<ContactEntry>& entries) {
    Route(routes_.contacts, "OnContactList", static_cast<uint32_t>(contacts().size()),
          [&](auto& r) { r.onContactsLoaded(entries); });
}

void ListenerRouting::OnGroupCreated(uint32_t groupId) {
    Route(routes_.contacts, "OnGroupCreated", groupId, [&](auto& r) { r.onGroupCreated(groupId); });
}

void ListenerRouting::OnGroupNameChanged(uint32_t groupId, const std::string& name) {
    Route(routes_.contacts, "OnGroupNameChanged", groupId,
          [&](auto& r) { r.onGroupNameChanged(groupId, name); });
}

void ListenerRouting::OnGroupDeleted(uint32_t groupId) {
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

void ListenerRouting::OnUserInfo(const UserRecord& record) {
    ClientListener::OnUserInfo(record);
    const uint32_t userId = record.id;
    aboutContact("OnUserInfo", userId, [&](ContactReceiver& r) { r.onUserInfo(userId); });
}

void ListenerRouting::routeContactOnline(uint32_t userId, uint32_t status, bool fromList) {
    aboutContact("OnContactOnline", userId,
                 [&](ContactReceiver& r) { r.onContactOnline(userId, status, fromList); });
}

void ListenerRouting::OnContactOffline(uint32_t userId) {
    ClientListener::OnContactOffline(userId);
    aboutContact("OnContactOffline", userId,
                 [&](ContactReceiver& r) { r.onContactOffline(userId); });
    if (routes_.file != nullptr) {
        routes_.file->onPeerOffline(userId);
    }
}

void ListenerRouting::routeContactStatus(uint32_t userId, uint32_t status) {
    aboutContact("OnContactStatus", userId,
                 [&](ContactReceiver& r) { r.onContactStatus(userId, status); });
}

void ListenerRouting::OnContactMoved(uint32_t groupId, uint32_t userId) {
    Route(routes_.contacts, "OnContactMoved", userId,
          [&](auto& r) { r.onContactMoved(groupId, userId); });
}

void ListenerRouting::OnContactDeleted(uint32_t userId) {
    aboutContact("OnContactDeleted", userId,
                 [&](ContactReceiver& r) { r.onContactDeleted(userId); });
}

void ListenerRouting::OnContactAdded(uint32_t userId) {
    Route(routes_.contacts, "OnContactAdded", userId, [&](auto& r) { r.onContactAdded(userId); });
}

void ListenerRouting::OnAddRequest(uint32_t userId) {
    Route(routes_.contacts, "OnAddRequest", userId, [&](auto& r) { r.onAddRequest(userId); });
}

void ListenerRouting::routeAllOffline() {
    if (routes_.contacts != nullptr) {
        routes_.contacts->onAllOffline();
    }
    // The operator went offline: every transfer and talk ends here as with a peer that left.
    for (const auto& record : contacts().records()) {
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

void ListenerRouting::OnFileOffer(uint32_t peer, uint32_t size, const std::string& name) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileOffer")) {
        r->onFileOffer(peer, size, name);
    }
}

void ListenerRouting::OnFileAccepted(uint32_t peer, uint16_t port) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileAccepted")) {
        r->onFileAccepted(peer, port);
    }
}

void ListenerRouting::OnFileCancelled(uint32_t peer) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileCancelled")) {
        r->onFileCancelled(peer);
    }
}

void ListenerRouting::OnFileRelayReady(uint32_t peer, uint32_t received, bool relayed) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileRelayReady")) {
        r->onFileRelayReady(peer, received, relayed);
    }
}

void ListenerRouting::OnFileRelayData(uint32_t peer, const uint8_t* bytes, uint32_t length,
                                      uint32_t sent) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileRelayData")) {
        r->onFileRelayData(peer, bytes, length, sent);
    }
}

void ListenerRouting::OnFileTransferDone(uint32_t peer) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileTransferDone")) {
        r->onFileTransferDone(peer);
    }
}

void ListenerRouting::OnFileProgress(uint32_t peer, uint32_t total, uint32_t done) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileProgress")) {
        r->onFileProgress(peer, total, done);
    }
}

std::string ListenerRouting::GetTransferFilePath(uint32_t peer) {
    auto* r = PeerReceiver(*this, routes_.file, peer, "GetTransferFilePath");
    return r != nullptr ? r->transferFilePath(peer) : std::string();
}

uint32_t ListenerRouting::GetTransferFileSize(uint32_t peer) {
    auto* r = PeerReceiver(*this, routes_.file, peer, "GetTransferFileSize");
    return r != nullptr ? r->transferFileSize(peer) : 0;
}

void ListenerRouting::OnFileFailed(uint32_t peer, int error) {
    if (auto* r = PeerReceiver(*this, routes_.file, peer, "OnFileFailed")) {
        r->onFileFailed(peer, error);
    }
}

void ListenerRouting::OnVoiceOffer(uint32_t peer) {
    if (auto* r = PeerReceiver(*this, routes_.voice, peer, "OnVoiceOffer")) {
        r->onOffer(peer);
    }
}

void ListenerRouting::OnVoiceAccepted(uint32_t peer, uint16_t port) {
    if (auto* r = PeerReceiver(*this, routes_.voice, peer, "OnVoiceAccepted")) {
        r->onAccepted(peer, port);
    }
}

void ListenerRouting::OnVoiceCancelled(uint32_t peer) {
    if (auto* r = PeerReceiver(*this, routes_.voice, peer, "OnVoiceCancelled")) {
        r->onCancelled(peer);
    }
}

void ListenerRouting::OnVoiceChannelReady(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(*this, routes_.voice, peer, "OnVoiceChannelReady")) {
        r->onChannelReady(peer, relayed);
    }
}

void ListenerRouting::OnVoiceChannelStarted(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(*this, routes_.voice, peer, "OnVoiceChannelStarted")) {
        r->onChannelStarted(peer, relayed);
    }
}

void ListenerRouting::OnVoiceData(uint32_t peer, const uint8_t* bytes, uint32_t length) {
    if (auto* r = PeerReceiver(*this, routes_.voice, peer, "OnVoiceData")) {
        r->onData(peer, bytes, length);
    }
}

void ListenerRouting::OnVideoOffer(uint32_t peer) {
    if (auto* r = PeerReceiver(*this, routes_.video, peer, "OnVideoOffer")) {
        r->onOffer(peer);
    }
}

void ListenerRouting::OnVideoAccepted(uint32_t peer, uint16_t port) {
    if (auto* r = PeerReceiver(*this, routes_.video, peer, "OnVideoAccepted")) {
        r->onAccepted(peer, port);
    }
}

void ListenerRouting::OnVideoCancelled(uint32_t peer) {
    if (auto* r = PeerReceiver(*this, routes_.video, peer, "OnVideoCancelled")) {
        r->onCancelled(peer);
    }
}

void ListenerRouting::OnVideoChannelReady(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(*this, routes_.video, peer, "OnVideoChannelReady")) {
        r->onChannelReady(peer, relayed);
    }
}

void ListenerRouting::OnVideoChannelStarted(uint32_t peer, bool relayed) {
    if (auto* r = PeerReceiver(*this, routes_.video, peer, "OnVideoChannelStarted")) {
        r->onChannelStarted(peer, relayed);
    }
}

void ListenerRouting::OnVideoData(uint32_t peer, const uint8_t* bytes, uint32_t length) {
    if (auto* r = PeerReceiver(*this, routes_.video, peer, "OnVideoData")) {
        r->onData(peer, bytes, length);
    }
}

void ListenerRouting::OnSearchResultA(std::vector<SearchEntryA> entries) {
    Route(routes_.search, "OnSearchResultA", static_cast<uint32_t>(entries.size()),
          [&](auto& r) { r.onSearchResultA(std::move(entries), client().lastAckSeq()); });
}

void ListenerRouting::OnSearchResultB(std::vector<SearchEntryB> entries) {
    Route(routes_.search, "OnSearchResultB", static_cast<uint32_t>(entries.size()),
          [&](auto& r) { r.onSearchResultB(std::move(entries), client().lastAckSeq()); });
}

void ListenerRouting::OnSearchResultD(std::vector<SearchEntryD> entries) {
    Route(routes_.search, "OnSearchResultD", static_cast<uint32_t>(entries.size()),
          [&](auto& r) { r.onSearchResultD(std::move(entries), client().lastAckSeq()); });
}

void ListenerRouting::OnSellerResult(std::vector<SellerEntry> entries, uint32_t key) {
    Route(routes_.handling, "OnSellerResult", key,
          [&](auto& r) { r.onSellerResult(std::move(entries), key); });
}

void ListenerRouting::routeCallList(int list, std::vector<CallRecord> calls) {
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

void ListenerRouting::OnCategoryCalls(int pane, std::vector<CallRecord> calls) {
    routeCallList(ListCursors::kFirstCategory + pane, std::move(calls));
}

void ListenerRouting::OnServiceCalls(std::vector<CallRecord> calls) {
    routeCallList(ListCursors::kService, std::move(calls));
}

void ListenerRouting::OnTakenCalls(std::vector<CallRecord> calls) {
    routeCallList(ListCursors::kTaken, std::move(calls));
}

void ListenerRouting::OnNewCall(CallRecord call) {
    Route(routes_.calls, "OnNewCall", call.callId, [&](auto& r) { r.onNewCall(std::move(call)); });
}

void ListenerRouting::OnCallGone(uint32_t callId) {
    Route(routes_.calls, "OnCallGone", callId, [&](auto& r) { r.onCallGone(callId); });
    if (routes_.handling != nullptr) {
        routes_.handling->onCallGone(callId);
    }
}

void ListenerRouting::OnCallNoticeDone(uint32_t callId) {
    Route(routes_.handling, "OnCallNoticeDone", callId,
          [&](auto& r) { r.onCallNoticeDone(callId, false); });
}

void ListenerRouting::OnCallNoticeDone2(uint32_t callId) {
    Route(routes_.handling, "OnCallNoticeDone2", callId,
          [&](auto& r) { r.onCallNoticeDone(callId, true); });
}

void ListenerRouting::OnCallMemoSaved(uint32_t callId) {
    Route(routes_.handling, "OnCallMemoSaved", callId, [&](auto& r) { r.onCallMemoSaved(callId); });
    if (routes_.calls != nullptr) {
        routes_.calls->onCallMemoSaved(callId);
    }
}

void ListenerRouting::OnFamilyContact(uint32_t callKey, const std::string& name,
                                      const std::string& phone) {
    Route(routes_.handling, "OnFamilyContact", callKey,
          [&](auto& r) { r.onFamilyContact(false, callKey, name, phone); });
}

void ListenerRouting::OnFamilyContact2(uint32_t callKey, const std::string& name,
                                       const std::string& phone) {
    Route(routes_.handling, "OnFamilyContact2", callKey,
          [&](auto& r) { r.onFamilyContact(true, callKey, name, phone); });
}

void ListenerRouting::routeListsRequested() {
    if (routes_.calls != nullptr) {
        routes_.calls->onListsRequested();
    }
    if (routes_.handling != nullptr) {
        routes_.handling->onListsRequested();
    }
}

void ListenerRouting::routeReminderDue() {
    Route(routes_.calls, "reminder timer", 0, [&](auto& r) { r.onReminderDue(); });
}

void ListenerRouting::routeSound(int event) {
    Route(routes_.sounds, "sound event", static_cast<uint32_t>(event),
          [&](auto& r) { r.playSoundEvent(event); });
}

int ListenerRouting::callRowCount(int code) const {
    return routes_.calls != nullptr ? routes_.calls->rowCount(code) : 0;
}

} // namespace talmor
