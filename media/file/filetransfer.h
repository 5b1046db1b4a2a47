#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/environment.h"

namespace talmor {

class ConsoleHost;
class PeerSessionManager;

// What a transfer shows: lines in the chat display and the strip's progress.
class FileTransferView {
public:
    virtual ~FileTransferView() = default;
    virtual void showLine(const QString& line) = 0;
    virtual void showProgress(uint32_t total, uint32_t done) = 0;
    // The offer's accept and cancel links answer no more.
    virtual void forgetOfferLinks() = 0;
    // The transfer is over (completed, cancelled or failed): the strip closes.
    virtual void closed() = 0;
};

// One file transfer with one contact, on either side. The sending side offers, tries the
// direct session once the peer accepted and asks the server to relay when that is not under
// way within 5 seconds; the relay is stop-and-wait, each chunk answered by the count of bytes
// the receiver holds and repeated every 2 seconds until it is.
//
// Only one path ever writes the file: the first of the direct session's progress and the
// relay's answer wins and the other is shut. The receiver writes a chunk only where it
// continues the file exactly; a transfer that ends incomplete leaves no file behind.
class FileTransfer {
public:
    enum class Role { Sending, Receiving };
    enum class Phase { Offered, Accepted, Direct, Relay, Over };

    static constexpr int kRelayAskTimer = 100002;
    static constexpr int kRelayAskMs = 5000;
    static constexpr int kRepeatTimer = 100005;
    static constexpr int kRepeatMs = 2000;
    // A direct session cut off in the middle: how long the peer's cancel, which closes the
    // session as well, may take through the server before the transfer ends as broken off.
    static constexpr int kLostTimer = 100006;
    static constexpr int kLostMs = 3000;
    // Asks or repetitions without an answer before the transfer gives up.
    static constexpr int kMaxUnanswered = 30;
    static constexpr std::size_t kChunkSize = 2048;

    // `name` is GBK (as on the wire), `path` the local file in the file system's encoding.
    FileTransfer(ConsoleHost& host, PeerSessionManager& peers, TimerHost& timers,
                 FileTransferView& view, uint32_t peer, Role role, std::string name, uint32_t size,
                 std::string path = {});
    ~FileTransfer();
    FileTransfer(const FileTransfer&) = delete;
    FileTransfer& operator=(const FileTransfer&) = delete;

    Role role() const { return role_; }
    Phase phase() const { return phase_; }
    bool over() const { return phase_ == Phase::Over; }
    uint32_t peer() const { return peer_; }
    const std::string& name() const { return name_; }
    uint32_t size() const { return size_; }
    uint32_t done() const { return done_; }
    const std::string& path() const { return path_; }

    // Sending side: sends the offer.
    void offer();
    // Receiving side: the operator accepted into `savePath`.
    void accept(const std::string& savePath);
    // The operator cancels (link, button or closing the chat window).
    void cancel();

    // Events of the peer, the server and the direct session.
    void onAccepted(uint16_t port);
    void onCancelled();
    void onRelayReady(uint32_t received);
    void onRelayData(const uint8_t* data, uint32_t length, uint32_t sent);
    void onProgress(uint32_t total, uint32_t done);
    void onDone();
    void onFailed(int error);
    void onPeerOffline();
    void onTimer(int id);
    // The direct session asks where to write: the path once accepted, else none.
    std::string directPath();

private:
    QString shownName() const;
    void sendNextChunk();
    void sendChunk();
    // True when the peer is still there; else the transfer stops.
    bool peerStillThere();
    void complete();
    // Ends the transfer showing `line`; `tellPeer` sends the cancel.
    void end(const QString& line, bool tellPeer);
    void closeFile();

    ConsoleHost& host_;
    PeerSessionManager& peers_;
    TimerHost& timers_;
    FileTransferView& view_;
    uint32_t peer_;
    Role role_;
    Phase phase_ = Phase::Offered;
    std::string name_;
    uint32_t size_;
    std::string path_;
    uint32_t done_ = 0;
    std::FILE* file_ = nullptr;
    // The receiving side writes into part_, a temporary file beside path_, and renames it over
    // path_ once whole; created_ while part_ exists (it is removed when incomplete).
    std::string part_;
    bool created_ = false;
    std::vector<uint8_t> chunk_; // the relay's chunk in flight
    int unanswered_ = 0;
};

} // namespace talmor
