#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "protocol/peersession.h"

namespace talmor {

// The handler of a session kind by its name; a kind of no known name gets one that ignores
// every packet.
std::unique_ptr<PeerHandler> makePeerHandler(const std::string& kind);

// "message": chat messages answered by their number, acknowledgements routed by the session's
// peer and that number.
class MessageHandler : public PeerHandler {
public:
    void onPacket(PeerSession& session, PeerInPacket& packet) override;
};

// "SendFile": a stop-and-wait transfer of one file in chunks of at most 2048 bytes.
class FileHandler : public PeerHandler {
public:
    static constexpr std::size_t kChunkSize = 2048;

    ~FileHandler() override;
    // The sending side: what to send.
    void setOutgoing(uint32_t size, const std::string& path);
    void onPacket(PeerSession& session, PeerInPacket& packet) override;
    // Cut off before the file was whole: reported as failed with ECONNRESET.
    void onSessionLost(PeerSession& session) override;

private:
    void sendNextChunk(PeerSession& session);
    void receiveStart(PeerSession& session);
    void receiveChunk(PeerSession& session, PeerInPacket& packet);
    void closeFile();
    // The file cannot be read or written: the session ends and the window is told why.
    void fail(PeerSession& session, int error);
    // The file is complete: the session ends and the window is told.
    void finish(PeerSession& session);

    std::string path_;
    uint32_t total_ = 0;
    uint32_t done_ = 0;
    std::FILE* file_ = nullptr;
    bool receiving_ = false;
};

// "SendWave" and "SendVideo": the initiator's start, the answer, then media data both ways.
class MediaHandler : public PeerHandler {
public:
    enum class Media { Voice, Video };
    explicit MediaHandler(Media media) : media_(media) {}

    bool started() const { return started_; }
    void onPacket(PeerSession& session, PeerInPacket& packet) override;
    // A started talk that loses its session ends as if the peer had cancelled it.
    void onSessionLost(PeerSession& session) override;

private:
    Media media_;
    bool started_ = false;
};

} // namespace talmor
