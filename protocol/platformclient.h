#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "protocol/environment.h"
#include "protocol/listcursors.h"
#include "protocol/records.h"
#include "protocol/requestbuilder.h"
#include "protocol/socketlayer.h"
#include "protocol/udpsession.h"

namespace talmor {

class ClientListener;

// What happened when the link to the server was last lost; the window's OnConnected(false)
// reads it to choose between a plain refresh, the reconnect sound and the offline message.
// RetryLater: an attempt to log in again went unanswered; the next one waits on timer 1004.
enum class LinkLoss { None, WhileOffline, Reconnecting, RetryLater, Lost };

// The wait before attempt `failed` + 1 to log in again, after `failed` unanswered ones (at least
// one): 5 s, 10 s, 20 s, then every 60 s, so a server that is back is found soon without a
// console hammering one that stays down.
int ReconnectDelayMs(int failed);

// Holds the session so that it is built before the request builder that uses it.
struct SessionOwner {
    SessionOwner(SocketLayer& sockets, const Clock& clock, Random& random, SessionEvents& events)
        : session(sockets, clock, random, events) {}
    UdpSession session;
};

// The command layer on top of the session: dispatches the server's datagrams to the listener
// (with the list cursors and the automatic answers), builds the requests, and runs the login,
// the status changes, going offline and the reaction to a lost link.
class PlatformClient : public SessionEvents, private SessionOwner, public RequestBuilder {
public:
    PlatformClient(ClientListener& listener, SocketLayer& sockets, HostResolver& resolver,
                   TimerHost& timers, const Clock& clock, Random& random);
    ~PlatformClient() override;
    PlatformClient(const PlatformClient&) = delete;
    PlatformClient& operator=(const PlatformClient&) = delete;

    // Remembers the status asked for and the server, starts the retransmission timer and
    // connects: at once to a dotted address, else after the host name is resolved. A name that
    // does not resolve connects nowhere and is reported as a link lost while offline, as an
    // unanswered login is.
    void ConnectToServer(uint32_t requestedStatus, const std::string& serverHost, uint16_t port);
    // Resets the session and sends the login request; returns its seq.
    uint16_t sendLogin();
    // From offline: logs in with `status`. Otherwise sends a change of status; invisible also
    // closes the sessions with contacts. Offline (1) is goOffline.
    void setStatus(uint32_t status);
    // The operator's offline (or the exit): logs out and stops any attempt to log in again.
    void goOffline();

    // Steps of the login that the listener's base operations take.
    void proceedAfterLogin(); // the reply was accepted: timers on, rights requested
    void rejectLogin();       // wrong password or version: timers off, logged out
    // The contacts are loaded: the requested status takes effect. A long contact list comes in
    // several datagrams; only the first completes the login, so this answers true once per login.
    bool completeLogin();
    bool loginComplete() const { return loginComplete_; }

    // Timer 1001 (retransmission), 1002 (keep-alive) and 1004 (next login after a loss) fire here.
    void onTimer(int id);
    // The account logged in elsewhere: no more keep-alives.
    void stopKeepAlive();

    void setAutoReconnect(bool on) { autoReconnect_ = on; }
    // Whether a video capture device exists; the login request tells the server.
    void setVideoCapable(bool capable) { videoCapable_ = capable; }
    // 20 characters, made at the first login of the process and kept for its life.
    const std::string& installationId() const { return installationId_; }
    uint32_t requestedStatus() const { return requestedStatus_; }
    // The server of the last ConnectToServer, as it was given.
    const std::string& serverHost() const { return serverHost_; }
    uint16_t serverPort() const { return serverPort_; }
    LinkLoss lastLinkLoss() const { return lastLinkLoss_; }
    // Between a lost link and the next complete login, while automatic reconnection keeps trying.
    bool reconnecting() const { return reconnecting_; }
    // The ackSeq of the datagram being handled: the seq of the request it answers.
    uint16_t lastAckSeq() const { return session.lastAckSeq(); }

    UdpSession& udpSession() { return session; }
    ClientListener& listener() { return listener_; }
    ListCursors& cursors() { return cursors_; }

    bool dispatch(InPacket& packet) override;
    void onConnected(bool up) override;
    void onRequestAcked(uint32_t seq) override;
    void onRequestTimedOut(uint32_t seq) override;

private:
    void makeInstallationId();
    void connectTo(uint32_t address);
    void dropLink();
    void stopReconnecting();

    ClientListener& listener_;
    HostResolver& resolver_;
    TimerHost& timers_;
    Random& random_;
    const Clock& clock_;
    ListCursors cursors_;
    std::string serverHost_;
    uint16_t serverPort_ = 0;
    uint32_t requestedStatus_ = kStatusOnline;
    bool autoReconnect_ = false;
    bool videoCapable_ = false;
    std::string installationId_;
    LinkLoss lastLinkLoss_ = LinkLoss::None;
    bool loginComplete_ = false;
    bool reconnecting_ = false;
    int failedReconnects_ = 0;
    // A lookup answer that arrives after a newer ConnectToServer, or after this client is
    // gone, is ignored: the callback holds only a weak reference and the attempt number.
    std::shared_ptr<uint32_t> lookupAttempt_;
};

} // namespace talmor
