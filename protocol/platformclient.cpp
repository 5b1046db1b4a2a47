#include "protocol/platformclient.h"

#include <algorithm>
#include <iterator>

#include "protocol/clientlistener.h"
#include "protocol/commands.h"
#include "protocol/dispatcher.h"
#include "protocol/peersessions.h"
#include "protocol/sessionrecords.h"

namespace talmor {

namespace {
constexpr char kInstallationIdAlphabet[] = "0123456789ABCDEFGHIJK";
constexpr int kInstallationIdLength = 20;
constexpr uint32_t kInstallationIdDivisor = 5000;
const char kMessageSessionKind[] = "message";
constexpr int kReconnectDelaysMs[] = {5000, 10000, 20000, 60000};
} // namespace

int ReconnectDelayMs(int failed) {
    constexpr int last = static_cast<int>(std::size(kReconnectDelaysMs)) - 1;
    return kReconnectDelaysMs[std::clamp(failed - 1, 0, last)];
}

PlatformClient::PlatformClient(ClientListener& listener, SocketLayer& sockets,
                               HostResolver& resolver, TimerHost& timers, const Clock& clock,
                               Random& random)
    : SessionEvents(), SessionOwner(sockets, clock, random, *this),
      RequestBuilder(session, listener.own()), listener_(listener), resolver_(resolver),
      timers_(timers), random_(random), clock_(clock),
      lookupAttempt_(std::make_shared<uint32_t>(0)) {}

PlatformClient::~PlatformClient() = default;

void PlatformClient::ConnectToServer(uint32_t requestedStatus, const std::string& serverHost,
                                     uint16_t port) {
    requestedStatus_ = requestedStatus;
    serverHost_ = serverHost;
    serverPort_ = port;
    // A login the operator starts while a reconnection waits replaces the waiting attempt.
    timers_.stopTimer(kReconnectTimer);
    timers_.startTimer(kRetransmitTimer, kRetransmitPeriodMs);
    const uint32_t attempt = ++*lookupAttempt_;
    const uint32_t address = parseDottedAddress(serverHost);
    if (address != 0) {
        connectTo(address);
        return;
    }
    std::weak_ptr<uint32_t> current = lookupAttempt_;
    resolver_.lookup(serverHost, [this, current, attempt](uint32_t resolved) {
        const std::shared_ptr<uint32_t> latest = current.lock();
        if (!latest || *latest != attempt) {
            return;
        }
        if (resolved != 0) {
            connectTo(resolved);
        } else {
            onConnected(false);
        }
    });
}

void PlatformClient::connectTo(uint32_t address) {
    session.connect(address, serverPort_);
}

void PlatformClient::makeInstallationId() {
    random_.seed(static_cast<uint32_t>(clock_.now()));
    installationId_.clear();
    for (int i = 0; i < kInstallationIdLength; ++i) {
        // The generator yields 0 to 32767, so the index runs 1 to 7.
        const uint32_t index = (random_.next() & 0x7FFF) / kInstallationIdDivisor + 1;
        installationId_ += kInstallationIdAlphabet[index];
    }
}

uint16_t PlatformClient::sendLogin() {
    const OwnProfile& own = listener_.own();
    loginComplete_ = false;
    session.reset();
    session.setSenderId(own.operatorId);
    session.setCipherKey(own.password);
    if (installationId_.empty()) {
        makeInstallationId();
    }
    PeerSessions* peers = listener_.peerSessions();
    LoginRequest login;
    login.password = own.password;
    login.status = requestedStatus_;
    login.localAddress = session.localAddress();
    login.messagePort = peers != nullptr ? peers->listenFor(kMessageSessionKind) : 0;
    login.videoCapable = videoCapable_ ? 1 : 0;
    login.installationId = installationId_;
    auto packet = session.newRequest(CMD_LOGIN);
    login.write(*packet);
    return session.queueAndSend(std::move(packet));
}

void PlatformClient::setStatus(uint32_t status) {
    OwnProfile& own = listener_.own();
    if (status == kStatusOffline) {
        goOffline();
        return;
    }
    if (own.status == kStatusOffline) {
        ConnectToServer(status, serverHost_, serverPort_);
        return;
    }
    if (status == own.status) {
        return;
    }
    own.status = status;
    sendStatus(status);
    if (status == kStatusInvisible && listener_.peerSessions() != nullptr) {
        listener_.peerSessions()->closeContactSessions(false);
    }
}

void PlatformClient::goOffline() {
    stopReconnecting();
    dropLink();
}

void PlatformClient::stopReconnecting() {
    reconnecting_ = false;
    failedReconnects_ = 0;
    timers_.stopTimer(kReconnectTimer);
}

void PlatformClient::dropLink() {
    OwnProfile& own = listener_.own();
    if (own.status != kStatusOffline) {
        session.logout();
        own.status = kStatusOffline;
    }
    if (listener_.peerSessions() != nullptr) {
        listener_.peerSessions()->closeContactSessions(true);
    }
    listener_.contacts().setAllOffline();
    loginComplete_ = false;
    timers_.stopTimer(kRetransmitTimer);
    timers_.stopTimer(kKeepAliveTimer);
}

void PlatformClient::proceedAfterLogin() {
    timers_.startTimer(kRetransmitTimer, kRetransmitPeriodMs);
    timers_.startTimer(kKeepAliveTimer, kKeepAlivePeriodMs);
    getRights();
}

void PlatformClient::rejectLogin() {
    stopReconnecting();
    timers_.stopTimer(kRetransmitTimer);
    timers_.stopTimer(kKeepAliveTimer);
    session.logout();
}

bool PlatformClient::completeLogin() {
    if (loginComplete_) {
        return false;
    }
    loginComplete_ = true;
    listener_.own().status = requestedStatus_;
    lastLinkLoss_ = LinkLoss::None;
    stopReconnecting();
    return true;
}

void PlatformClient::onTimer(int id) {
    if (id == kRetransmitTimer) {
        session.checkRetransmit();
    } else if (id == kKeepAliveTimer) {
        session.sendKeepAlive();
    } else if (id == kReconnectTimer) {
        timers_.stopTimer(kReconnectTimer);
        if (reconnecting_ && listener_.own().status == kStatusOffline) {
            ConnectToServer(kStatusOnline, serverHost_, serverPort_);
        }
    }
}

void PlatformClient::stopKeepAlive() {
    timers_.stopTimer(kKeepAliveTimer);
}

bool PlatformClient::dispatch(InPacket& packet) {
    return dispatchCommand(*this, packet);
}

void PlatformClient::onConnected(bool up) {
    if (up) {
        sendLogin();
        listener_.OnConnected(true);
        return;
    }
    OwnProfile& own = listener_.own();
    const bool wasOffline = own.status == kStatusOffline;
    // Offline first, so that dropping the link does not send a logout over the lost link.
    own.status = kStatusOffline;
    dropLink();
    if (!wasOffline) {
        reconnecting_ = autoReconnect_;
        failedReconnects_ = 0;
        lastLinkLoss_ = autoReconnect_ ? LinkLoss::Reconnecting : LinkLoss::Lost;
    } else if (reconnecting_) {
        // An attempt to log in again went unanswered: the server is still away.
        ++failedReconnects_;
        lastLinkLoss_ = LinkLoss::RetryLater;
        timers_.startTimer(kReconnectTimer, ReconnectDelayMs(failedReconnects_));
    } else {
        lastLinkLoss_ = LinkLoss::WhileOffline;
    }
    // The window hears of the loss before the new login, which may connect at once and report
    // OnConnected(true).
    listener_.OnConnected(false);
    if (lastLinkLoss_ == LinkLoss::Reconnecting) {
        ConnectToServer(kStatusOnline, serverHost_, serverPort_);
    }
}

void PlatformClient::onRequestAcked(uint32_t seq) {
    listener_.OnRequestAcked(seq);
}

void PlatformClient::onRequestTimedOut(uint32_t seq) {
    listener_.OnRequestTimedOut(seq);
}

} // namespace talmor
