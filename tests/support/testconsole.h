#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "net/qthostresolver.h"
#include "net/qtsocketlayer.h"
#include "net/stdrandom.h"
#include "protocol/clientlistener.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "support/scaledtime.h"

namespace talmor::e2e {

// The sockets, timers, clock and random source of one console, built before the listener
// that uses them.
struct ConsoleEnvironment {
    ConsoleEnvironment(int timeFactor, QtTimerHost::Callback onTimer)
        : clock(timeFactor), timers(timeFactor, std::move(onTimer)) {}

    QtSocketLayer sockets;
    QtHostResolver resolver;
    ScaledClock clock;
    ScaledTimerHost timers;
    StdRandom random;
};

// The console's protocol core on the event loop, without windows: it logs in, loads its
// groups, contacts and profiles, asks for the call lists as the main window does once ready,
// and keeps what the server told it.
class TestConsole : private ConsoleEnvironment, public ClientListener {
public:
    // `timeFactor` speeds the console's clock and timers up (1 = real time).
    explicit TestConsole(int timeFactor = 1);
    ~TestConsole() override;

    void connect(uint32_t operatorId, const std::string& password, uint16_t port,
                 uint32_t status = kStatusOnline);
    // Connected, logged in, the contact list is in, and every contact's profile arrived.
    bool ready() const;
    // A request of the login went unanswered through all its sends: the login is stuck.
    bool loginFailed() const { return loginFailed_; }
    // Requests abandoned after the contact list arrived (profiles, call lists).
    int lateTimeouts() const { return lateTimeouts_; }
    // Asks again for every contact profile that has not arrived; returns how many.
    std::size_t requestMissingProfiles();

    // What the console received.
    std::optional<uint16_t> loginResult;
    bool ownProfileReceived = false;
    std::vector<GroupEntry> groups;
    bool contactListReceived = false;
    std::map<uint32_t, uint32_t> contactGroups; // each contact's group as the server listed it
    std::set<uint32_t> profiles;
    std::size_t profileAnswers = 0; // every profile answer, repeated ones included
    std::set<uint32_t> onlineContacts;
    std::map<uint32_t, CallRecord> waitingCalls; // in the panes: lists and new calls
    std::vector<uint32_t> goneCalls;
    std::vector<MessageRecord> messages;
    std::string scopeCode() const { return own().scopeCode; }
    // Acknowledged request sequence numbers and peer message numbers.
    std::set<uint32_t> acked;
    // Voice, video and file events from peer sessions: "VoiceChannelReady(1024,false)", ...
    std::vector<std::string> peerEvents;
    std::map<uint32_t, std::vector<uint8_t>> voiceData, videoData; // by peer, all received
    // Where a file from a peer is saved, and its size, as the file window would answer.
    std::map<uint32_t, std::pair<std::string, uint32_t>> incomingFiles;

    PeerSessionManager& peers() { return peers_; }
    // The port of its "message" listener, 0 when it has none.
    uint16_t messagePort();

    // ClientListener.
    void OnMessage(MessageRecord message) override;
    void OnContactList(std::vector<ContactEntry> contacts) override;
    void OnLoginReply(const std::string& pw1, const std::string& pw2, const std::string& pw3,
                      const std::string& pw4, uint16_t result, uint32_t accountValue,
                      uint32_t requiredVersion) override;
    void OnGroupList(std::vector<GroupEntry> list) override;
    void OnUserInfo(const UserRecord& record) override;
    void OnOwnProfile() override;
    void OnContactOnline(uint32_t id, uint32_t status, uint32_t altAddress, uint16_t altPort,
                         uint16_t messagePort, uint32_t peerAddress, bool fromList) override;
    void OnContactOffline(uint32_t id) override;
    void OnHelpCalls(std::vector<CallRecord> calls) override;
    void OnSosCalls(std::vector<CallRecord> calls) override;
    void OnCategoryCalls(int pane, std::vector<CallRecord> calls) override;
    void OnServiceCalls(std::vector<CallRecord> calls) override;
    void OnNewCall(CallRecord call) override;
    void OnCallGone(uint32_t callId) override;
    void OnConnected(bool up) override;
    void OnRequestTimedOut(uint32_t number) override;
    void OnRequestAcked(uint32_t number) override;
    void OnPeerMessageAcked(uint32_t peer, uint32_t number) override;
    void OnFileTransferDone(uint32_t peer) override;
    std::string GetTransferFilePath(uint32_t peer) override;
    uint32_t GetTransferFileSize(uint32_t peer) override;
    void OnFileCancelled(uint32_t peer) override;
    void OnVoiceCancelled(uint32_t peer) override;
    void OnVideoCancelled(uint32_t peer) override;
    void OnVoiceChannelReady(uint32_t peer, bool relayed) override;
    void OnVoiceChannelStarted(uint32_t peer, bool relayed) override;
    void OnVoiceData(uint32_t peer, const uint8_t* data, uint32_t length) override;
    void OnVideoChannelReady(uint32_t peer, bool relayed) override;
    void OnVideoChannelStarted(uint32_t peer, bool relayed) override;
    void OnVideoData(uint32_t peer, const uint8_t* data, uint32_t length) override;

private:
    void addCalls(std::vector<CallRecord> calls);

    void peerEvent(const char* name, uint32_t peer, bool relayed);

    bool loginFailed_ = false;
    int lateTimeouts_ = 0;
    PeerSessionManager peers_;
};

} // namespace talmor::e2e
