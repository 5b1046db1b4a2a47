#include "support/testconsole.h"

#include "protocol/commands.h"

namespace talmor::e2e {

TestConsole::TestConsole(int timeFactor)
    : ConsoleEnvironment(timeFactor,
                         [this](int id) {
                             if (id == kHelloSweepTimer) {
                                 peers_.onTimer(id);
                             } else {
                                 client().onTimer(id);
                             }
                         }),
      ClientListener(sockets, resolver, timers, clock, random),
      peers_(*this, sockets, clock, timers) {
    setPeerSessions(&peers_);
}

TestConsole::~TestConsole() {
    client().goOffline();
}

void TestConsole::connect(uint32_t operatorId, const std::string& password, uint16_t port,
                          uint32_t status) {
    loginResult.reset();
    loginFailed_ = false;
    own().operatorId = operatorId;
    own().password = password;
    client().ConnectToServer(status, "127.0.0.1", port);
}

bool TestConsole::ready() const {
    // Called after every event while a login runs: the full check only once it can hold.
    if (!contactListReceived || profiles.size() < contacts().records().size()) {
        return false;
    }
    for (const auto& record : contacts().records()) {
        if (profiles.count(record->id) == 0) {
            return false;
        }
    }
    return true;
}

std::size_t TestConsole::requestMissingProfiles() {
    std::size_t asked = 0;
    for (const auto& record : contacts().records()) {
        if (profiles.count(record->id) == 0) {
            client().getUserInfo(record->id);
            ++asked;
        }
    }
    return asked;
}

void TestConsole::OnMessage(MessageRecord message) {
    messages.push_back(std::move(message));
}

void TestConsole::OnContactList(std::vector<ContactEntry> list) {
    for (const ContactEntry& entry : list) {
        contactGroups[entry.id] = entry.groupId;
    }
    ClientListener::OnContactList(std::move(list));
    if (contactListReceived) {
        return; // a long list comes in several datagrams; the panes are filled once
    }
    contactListReceived = true;
    // As the main window does once the login is complete: fill the panes.
    client().getHelpCalls(0);
    client().getSosCalls(0);
    for (int pane = 0; pane < kCategoryPaneCount; ++pane) {
        client().getCategoryCalls(pane, 0);
    }
    client().getServiceCalls(0);
}

void TestConsole::OnLoginReply(const std::string& pw1, const std::string& pw2,
                               const std::string& pw3, const std::string& pw4, uint16_t result,
                               uint32_t accountValue, uint32_t requiredVersion) {
    loginResult = result;
    ClientListener::OnLoginReply(pw1, pw2, pw3, pw4, result, accountValue, requiredVersion);
}

void TestConsole::OnGroupList(std::vector<GroupEntry> list) {
    groups = list;
    ClientListener::OnGroupList(std::move(list));
}

void TestConsole::OnUserInfo(const UserRecord& record) {
    ClientListener::OnUserInfo(record);
    profiles.insert(record.id);
    ++profileAnswers;
}

void TestConsole::OnOwnProfile() {
    ownProfileReceived = true;
    ClientListener::OnOwnProfile();
}

void TestConsole::OnContactOnline(uint32_t id, uint32_t status, uint32_t altAddress,
                                  uint16_t altPort, uint16_t messagePort, uint32_t peerAddress,
                                  bool) {
    storePresence(id, status, altAddress, altPort, messagePort, peerAddress);
    onlineContacts.insert(id);
}

void TestConsole::OnContactOffline(uint32_t id) {
    ClientListener::OnContactOffline(id);
    onlineContacts.erase(id);
}

void TestConsole::addCalls(std::vector<CallRecord> calls) {
    for (CallRecord& call : calls) {
        const uint32_t id = call.callId;
        waitingCalls[id] = std::move(call);
    }
}

void TestConsole::OnHelpCalls(std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnSosCalls(std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnCategoryCalls(int, std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnServiceCalls(std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnNewCall(CallRecord call) {
    const uint32_t id = call.callId;
    waitingCalls[id] = std::move(call);
}

void TestConsole::OnCallGone(uint32_t callId) {
    waitingCalls.erase(callId);
    goneCalls.push_back(callId);
}

void TestConsole::OnConnected(bool up) {
    if (!up && !ready()) {
        loginFailed_ = true;
    }
}

void TestConsole::OnRequestTimedOut(uint32_t number) {
    ClientListener::OnRequestTimedOut(number);
    if (contactListReceived) {
        ++lateTimeouts_;
    } else {
        // A request of the login chain was abandoned: the chain cannot go on.
        loginFailed_ = true;
    }
}

uint16_t TestConsole::messagePort() {
    const PeerSession* listener = peers_.findSession(kMessageKind, 0);
    return listener != nullptr && listener->isListener()
               ? sockets.localPort(listener->socketHandle())
               : 0;
}

void TestConsole::OnRequestAcked(uint32_t number) {
    acked.insert(number);
    ClientListener::OnRequestAcked(number);
}

void TestConsole::OnPeerMessageAcked(uint32_t peer, uint32_t number) {
    acked.insert(number);
    ClientListener::OnPeerMessageAcked(peer, number);
}

void TestConsole::peerEvent(const char* name, uint32_t peer, bool relayed) {
    peerEvents.push_back(std::string(name) + "(" + std::to_string(peer) +
                         (relayed ? ",true)" : ",false)"));
}

void TestConsole::OnFileTransferDone(uint32_t peer) {
    peerEvent("FileTransferDone", peer, false);
}

std::string TestConsole::GetTransferFilePath(uint32_t peer) {
    auto found = incomingFiles.find(peer);
    return found == incomingFiles.end() ? std::string() : found->second.first;
}

uint32_t TestConsole::GetTransferFileSize(uint32_t peer) {
    auto found = incomingFiles.find(peer);
    return found == incomingFiles.end() ? 0 : found->second.second;
}

void TestConsole::OnFileCancelled(uint32_t peer) {
    peerEvent("FileCancelled", peer, true);
}

void TestConsole::OnVoiceCancelled(uint32_t peer) {
    peerEvent("VoiceCancelled", peer, true);
}

void TestConsole::OnVideoCancelled(uint32_t peer) {
    peerEvent("VideoCancelled", peer, true);
}

void TestConsole::OnVoiceChannelReady(uint32_t peer, bool relayed) {
    peerEvent("VoiceChannelReady", peer, relayed);
}

void TestConsole::OnVoiceChannelStarted(uint32_t peer, bool relayed) {
    peerEvent("VoiceChannelStarted", peer, relayed);
}

void TestConsole::OnVoiceData(uint32_t peer, const uint8_t* data, uint32_t length) {
    voiceData[peer].insert(voiceData[peer].end(), data, data + length);
}

void TestConsole::OnVideoChannelReady(uint32_t peer, bool relayed) {
    peerEvent("VideoChannelReady", peer, relayed);
}

void TestConsole::OnVideoChannelStarted(uint32_t peer, bool relayed) {
    peerEvent("VideoChannelStarted", peer, relayed);
}

void TestConsole::OnVideoData(uint32_t peer, const uint8_t* data, uint32_t length) {
    videoData[peer].insert(videoData[peer].end(), data, data + length);
}

} // namespace talmor::e2e
