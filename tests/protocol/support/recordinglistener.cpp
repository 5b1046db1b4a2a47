#include "support/recordinglistener.h"

#include <sstream>

#include "protocol/platformclient.h"

namespace talmor::testing {

namespace {

// Text shown as it is, not quoted like a string argument.
struct Raw {
    std::string text;
};

void put(std::ostringstream& out, const Raw& value) {
    out << value.text;
}
void put(std::ostringstream& out, const std::string& value) {
    out << '"' << value << '"';
}
void put(std::ostringstream& out, bool value) {
    out << (value ? "true" : "false");
}
void put(std::ostringstream& out, uint8_t value) {
    out << unsigned{value};
}
template <typename T> void put(std::ostringstream& out, const T& value) {
    out << value;
}

// "Name(a,b,c)".
template <typename... Args> std::string line(const char* name, const Args&... args) {
    std::ostringstream out;
    out << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((out << separator, put(out, args), separator = ","), ...);
    out << ')';
    return out.str();
}

// "[id,id,...]" of a list's entries.
template <typename List, typename Key> Raw ids(const List& list, Key key) {
    std::ostringstream out;
    out << '[';
    for (std::size_t i = 0; i < list.size(); ++i) {
        out << (i == 0 ? "" : ",") << key(list[i]);
    }
    out << ']';
    return Raw{out.str()};
}

template <typename List> Raw ids(const List& list) {
    return ids(list, [](const auto& entry) { return entry.id; });
}

Raw callIds(const std::vector<CallRecord>& calls) {
    return ids(calls, [](const CallRecord& call) { return call.callId; });
}

std::string bytesText(const uint8_t* data, uint32_t length) {
    return std::string(reinterpret_cast<const char*>(data), length);
}

} // namespace

void RecordingListener::record(const std::string& text) {
    events.push_back(text);
    eventAckSeqs.push_back(client().lastAckSeq());
}

void RecordingListener::OnMessage(MessageRecord message) {
    record(
        line("OnMessage", message.kind, message.flags, message.peerId, message.time, message.text));
    lastMessage = std::move(message);
}

void RecordingListener::OnContactList(std::vector<ContactEntry> contacts) {
    record(line("OnContactList", ids(contacts)));
    if (runBase) {
        ClientListener::OnContactList(std::move(contacts));
    }
}

void RecordingListener::OnLoginReply(const std::string& pw1, const std::string& pw2,
                                     const std::string& pw3, const std::string& pw4,
                                     uint16_t result, uint32_t accountValue,
                                     uint32_t requiredVersion) {
    record(line("OnLoginReply", pw1, pw2, pw3, pw4, result, accountValue, requiredVersion));
    if (runBase) {
        ClientListener::OnLoginReply(pw1, pw2, pw3, pw4, result, accountValue, requiredVersion);
    }
}

void RecordingListener::OnLoggedInElsewhere() {
    record(line("OnLoggedInElsewhere"));
}

void RecordingListener::OnGroupList(std::vector<GroupEntry> groups) {
    record(line("OnGroupList", ids(groups)));
    if (runBase) {
        ClientListener::OnGroupList(std::move(groups));
    }
}

void RecordingListener::OnGroupCreated(uint32_t id) {
    record(line("OnGroupCreated", id));
}

void RecordingListener::OnGroupNameChanged(uint32_t id, const std::string& name) {
    record(line("OnGroupNameChanged", id, name));
}

void RecordingListener::OnGroupDeleted(uint32_t id) {
    record(line("OnGroupDeleted", id));
}

void RecordingListener::OnUserInfo(const UserRecord& r) {
    record(line("OnUserInfo", r.id, r.nick, r.extraText));
    if (runBase) {
        ClientListener::OnUserInfo(r);
    }
}

void RecordingListener::OnOwnProfile() {
    record(line("OnOwnProfile"));
    if (runBase) {
        ClientListener::OnOwnProfile();
    }
}

void RecordingListener::OnContactOnline(uint32_t id, uint32_t status, uint32_t altAddress,
                                        uint16_t altPort, uint16_t messagePort,
                                        uint32_t peerAddress, bool fromList) {
    record(line("OnContactOnline", id, status, altAddress, altPort, messagePort, peerAddress,
                fromList));
}

void RecordingListener::OnContactOffline(uint32_t id) {
    record(line("OnContactOffline", id));
    if (runBase) {
        ClientListener::OnContactOffline(id);
    }
}

void RecordingListener::OnContactStatus(uint32_t id, uint32_t status) {
    record(line("OnContactStatus", id, status));
}

void RecordingListener::OnUserSummaryList(std::vector<UserSummaryEntry> list) {
    record(line("OnUserSummaryList", ids(list)));
}

void RecordingListener::OnContactMoved(uint32_t group, uint32_t user) {
    record(line("OnContactMoved", group, user));
}

void RecordingListener::OnContactDeleted(uint32_t id) {
    record(line("OnContactDeleted", id));
}

void RecordingListener::OnContactAdded(uint32_t id) {
    record(line("OnContactAdded", id));
}

void RecordingListener::OnAddRequest(uint32_t id) {
    record(line("OnAddRequest", id));
}

void RecordingListener::OnNotice525(uint32_t value) {
    record(line("OnNotice525", value));
}

void RecordingListener::OnNotice526(uint32_t value) {
    record(line("OnNotice526", value));
}

void RecordingListener::OnNotice527(uint32_t value) {
    record(line("OnNotice527", value));
}

void RecordingListener::OnFileOffer(uint32_t peer, uint32_t size, const std::string& name) {
    record(line("OnFileOffer", peer, size, name));
}

void RecordingListener::OnFileAccepted(uint32_t peer, uint16_t port) {
    record(line("OnFileAccepted", peer, port));
}

void RecordingListener::OnFileCancelled(uint32_t peer) {
    record(line("OnFileCancelled", peer));
}

void RecordingListener::OnFileRelayReady(uint32_t peer, uint32_t received, bool relayed) {
    record(line("OnFileRelayReady", peer, received, relayed));
}

void RecordingListener::OnFileRelayData(uint32_t peer, const uint8_t* data, uint32_t length,
                                        uint32_t sent) {
    record(line("OnFileRelayData", peer, bytesText(data, length), length, sent));
}

void RecordingListener::OnVoiceOffer(uint32_t peer) {
    record(line("OnVoiceOffer", peer));
}

void RecordingListener::OnVoiceAccepted(uint32_t peer, uint16_t port) {
    record(line("OnVoiceAccepted", peer, port));
}

void RecordingListener::OnVoiceCancelled(uint32_t peer) {
    record(line("OnVoiceCancelled", peer));
}

void RecordingListener::OnVoiceChannelReady(uint32_t peer, bool relayed) {
    record(line("OnVoiceChannelReady", peer, relayed));
}

void RecordingListener::OnVoiceChannelStarted(uint32_t peer, bool relayed) {
    record(line("OnVoiceChannelStarted", peer, relayed));
}

void RecordingListener::OnFileTransferDone(uint32_t peer) {
    record(line("OnFileTransferDone", peer));
}

void RecordingListener::OnFileFailed(uint32_t peer, int error) {
    record(line("OnFileFailed", peer, static_cast<uint32_t>(error)));
}

void RecordingListener::OnFileProgress(uint32_t peer, uint32_t total, uint32_t done) {
    record(line("OnFileProgress", peer, total, done));
}

std::string RecordingListener::GetTransferFilePath(uint32_t) {
    return transferPath;
}

uint32_t RecordingListener::GetTransferFileSize(uint32_t) {
    return transferSize;
}

void RecordingListener::OnVoiceData(uint32_t peer, const uint8_t* data, uint32_t length) {
    record(line("OnVoiceData", peer, bytesText(data, length), length));
}

void RecordingListener::OnVideoOffer(uint32_t peer) {
    record(line("OnVideoOffer", peer));
}

void RecordingListener::OnVideoAccepted(uint32_t peer, uint16_t port) {
    record(line("OnVideoAccepted", peer, port));
}

void RecordingListener::OnVideoCancelled(uint32_t peer) {
    record(line("OnVideoCancelled", peer));
}

void RecordingListener::OnVideoChannelReady(uint32_t peer, bool relayed) {
    record(line("OnVideoChannelReady", peer, relayed));
}

void RecordingListener::OnVideoChannelStarted(uint32_t peer, bool relayed) {
    record(line("OnVideoChannelStarted", peer, relayed));
}

void RecordingListener::OnVideoData(uint32_t peer, const uint8_t* data, uint32_t length) {
    record(line("OnVideoData", peer, bytesText(data, length), length));
}

void RecordingListener::OnScopeNotice(const std::string& text) {
    record(line("OnScopeNotice", text));
}

void RecordingListener::OnReminderSchedule(uint32_t enabled, uint32_t minutes) {
    record(line("OnReminderSchedule", enabled, minutes));
}

void RecordingListener::OnHelpCalls(std::vector<CallRecord> calls) {
    record(line("OnHelpCalls", callIds(calls)));
    lastCalls = std::move(calls);
}

void RecordingListener::OnSosCalls(std::vector<CallRecord> calls) {
    record(line("OnSosCalls", callIds(calls)));
    lastCalls = std::move(calls);
}

void RecordingListener::OnCategoryCalls(int pane, std::vector<CallRecord> calls) {
    record(line("OnCategoryCalls", pane, callIds(calls)));
    lastCalls = std::move(calls);
}

void RecordingListener::OnServiceCalls(std::vector<CallRecord> calls) {
    record(line("OnServiceCalls", callIds(calls)));
    lastCalls = std::move(calls);
}

void RecordingListener::OnTakenCalls(std::vector<CallRecord> calls) {
    record(line("OnTakenCalls", callIds(calls)));
    lastCalls = std::move(calls);
}

void RecordingListener::OnNewCall(CallRecord call) {
    record(line("OnNewCall", call.callId, call.category, call.userName, call.serviceObject));
    lastCalls = {std::move(call)};
}

void RecordingListener::OnCallNoticeDone(uint32_t callId) {
    record(line("OnCallNoticeDone", callId));
}

void RecordingListener::OnCallMemoSaved(uint32_t callId) {
    record(line("OnCallMemoSaved", callId));
}

void RecordingListener::OnSearchResultA(std::vector<SearchEntryA> list) {
    record(line("OnSearchResultA", ids(list)));
}

void RecordingListener::OnSearchResultB(std::vector<SearchEntryB> list) {
    record(line("OnSearchResultB", ids(list)));
}

void RecordingListener::OnSearchResultC(std::vector<SearchEntryC> list) {
    record(line("OnSearchResultC", ids(list)));
}

void RecordingListener::OnSearchResultD(std::vector<SearchEntryD> list) {
    record(line("OnSearchResultD", ids(list)));
}

void RecordingListener::OnHelpTotal(uint32_t count) {
    record(line("OnHelpTotal", count));
}

void RecordingListener::OnSosTotal(uint32_t count) {
    record(line("OnSosTotal", count));
}

void RecordingListener::OnProviderCount(uint32_t count) {
    record(line("OnProviderCount", count));
}

void RecordingListener::OnCustomerCount(uint32_t count) {
    record(line("OnCustomerCount", count));
}

void RecordingListener::OnConnected(bool up) {
    record(line("OnConnected", up));
}

void RecordingListener::OnRequestTimedOut(uint32_t number) {
    record(line("OnRequestTimedOut", number));
    if (runBase) {
        ClientListener::OnRequestTimedOut(number);
    }
}

void RecordingListener::OnSellerResult(std::vector<SellerEntry> list, uint32_t key) {
    record(line("OnSellerResult", ids(list), key));
}

void RecordingListener::OnFamilyContact(uint32_t key, const std::string& name,
                                        const std::string& phone) {
    record(line("OnFamilyContact", key, name, phone));
}

void RecordingListener::OnFamilyContact2(uint32_t key, const std::string& name,
                                         const std::string& phone) {
    record(line("OnFamilyContact2", key, name, phone));
}

void RecordingListener::OnCallGone(uint32_t callId) {
    record(line("OnCallGone", callId));
}

void RecordingListener::OnRequestAcked(uint32_t number) {
    record(line("OnRequestAcked", number));
    if (runBase) {
        ClientListener::OnRequestAcked(number);
    }
}

void RecordingListener::OnPeerMessageAcked(uint32_t peer, uint32_t number) {
    record(line("OnPeerMessageAcked", peer, number));
    if (runBase) {
        ClientListener::OnPeerMessageAcked(peer, number);
    }
}

uint16_t RecordingPeerSessions::listenFor(const std::string& kind) {
    calls.push_back(line("listenFor", kind));
    return port;
}

void RecordingPeerSessions::closeSessionsWith(uint32_t peer) {
    calls.push_back(line("closeSessionsWith", peer));
}

void RecordingPeerSessions::closeContactSessions(bool all) {
    calls.push_back(line("closeContactSessions", all));
}

void RecordingPeerSessions::contactOnline(uint32_t peer) {
    calls.push_back(line("contactOnline", peer));
}

} // namespace talmor::testing
