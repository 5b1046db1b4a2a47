#include "protocol/peerhandlers.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "protocol/clientlistener.h"
#include "protocol/peersessionmanager.h"

namespace talmor {

namespace {

// Created for the owner alone and never written through a link.
std::FILE* openForWriting(const std::string& path) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

class IgnoringHandler : public PeerHandler {
public:
    void onPacket(PeerSession&, PeerInPacket&) override {}
};
} // namespace

std::unique_ptr<PeerHandler> makePeerHandler(const std::string& kind) {
    if (kind == kMessageKind) {
        return std::make_unique<MessageHandler>();
    }
    if (kind == kFileKind) {
        return std::make_unique<FileHandler>();
    }
    if (kind == kVoiceKind) {
        return std::make_unique<MediaHandler>(MediaHandler::Media::Voice);
    }
    if (kind == kVideoKind) {
        return std::make_unique<MediaHandler>(MediaHandler::Media::Video);
    }
    return std::make_unique<IgnoringHandler>();
}

void MessageHandler::onPacket(PeerSession& session, PeerInPacket& packet) {
    ClientListener& listener = session.manager().listener();
    if (packet.command() == kPeerChatMessage) {
        const uint32_t number = packet.u32();
        const uint8_t kind = packet.u8();
        const uint32_t sendTime = packet.u32();
        const std::string body = packet.text();
        PeerOutPacket ack = session.newPacket(kPeerChatAck);
        ack.writeInt(number);
        session.sendPacket(ack);
        listener.deliverMessage(kind, session.peerId(), sendTime, body, false);
    } else if (packet.command() == kPeerChatAck) {
        listener.OnPeerMessageAcked(session.peerId(), packet.u32());
    }
}

FileHandler::~FileHandler() {
    closeFile();
}

void FileHandler::setOutgoing(uint32_t size, const std::string& path) {
    total_ = size;
    path_ = path;
}

void FileHandler::closeFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void FileHandler::onPacket(PeerSession& session, PeerInPacket& packet) {
    switch (packet.command()) {
    case kPeerStart:
        // Only the accepting side receives a file, and only once per session.
        if (session.initiator() == 0 && !receiving_) {
            receiveStart(session);
        }
        break;
    case kPeerAnswer:
        if (session.initiator() == 1) {
            sendNextChunk(session);
        }
        break;
    case kPeerData:
        if (receiving_ && file_ != nullptr) {
            receiveChunk(session, packet);
        }
        break;
    default:
        break;
    }
}

void FileHandler::receiveStart(PeerSession& session) {
    ClientListener& listener = session.manager().listener();
    const uint32_t peer = session.peerId();
    receiving_ = true;
    path_ = listener.GetTransferFilePath(peer);
    total_ = listener.GetTransferFileSize(peer);
    errno = ENOENT; // an empty path names no file
    file_ = path_.empty() ? nullptr : openForWriting(path_);
    if (file_ == nullptr) {
        fail(session, errno);
        return;
    }
    PeerOutPacket ready = session.newPacket(kPeerAnswer);
    session.sendPacket(ready);
    if (total_ == 0) {
        // An empty file is complete once created; no chunk will come.
        finish(session);
    }
}

void FileHandler::receiveChunk(PeerSession& session, PeerInPacket& packet) {
    std::size_t count = 0;
    const uint8_t* bytes = packet.remaining(count);
    if (count > total_ - done_) {
        // Past the announced size: the stream carries no offset to find the file's end again.
        fail(session, EFBIG);
        return;
    }
    if (count > 0 && (std::fwrite(bytes, 1, count, file_) != count || std::fflush(file_) != 0)) {
        fail(session, errno);
        return;
    }
    done_ += static_cast<uint32_t>(count);
    session.manager().listener().OnFileProgress(session.peerId(), total_, done_);
    if (session.closed()) {
        return;
    }
    if (done_ < total_) {
        PeerOutPacket ready = session.newPacket(kPeerAnswer);
        session.sendPacket(ready);
    } else {
        finish(session);
    }
}

void FileHandler::sendNextChunk(PeerSession& session) {
    if (file_ == nullptr && done_ < total_) {
        file_ = std::fopen(path_.c_str(), "rb");
        if (file_ == nullptr) {
            fail(session, errno);
            return;
        }
    }
    if (done_ < total_) {
        uint8_t chunk[kChunkSize];
        const std::size_t want = std::min<std::size_t>(kChunkSize, total_ - done_);
        const std::size_t count = std::fread(chunk, 1, want, file_);
        if (count == 0) {
            // The file is shorter than announced: empty chunks would go round for ever.
            fail(session, std::ferror(file_) != 0 ? errno : 0);
            return;
        }
        done_ += static_cast<uint32_t>(count);
        PeerOutPacket data = session.newPacket(kPeerData);
        data.writeBytes(chunk, count);
        session.sendPacket(data);
        session.manager().listener().OnFileProgress(session.peerId(), total_, done_);
        if (session.closed()) {
            return;
        }
    }
    if (done_ >= total_) {
        finish(session);
    }
}

void FileHandler::fail(PeerSession& session, int error) {
    closeFile();
    const uint32_t peer = session.peerId();
    ClientListener& listener = session.manager().listener();
    session.closeAndRemove();
    listener.OnFileFailed(peer, error);
}

void FileHandler::onSessionLost(PeerSession& session) {
    // A transfer that failed or finished closed its session itself: only a cut-off one is here.
    closeFile();
    session.manager().listener().OnFileFailed(session.peerId(), ECONNRESET);
}

void FileHandler::finish(PeerSession& session) {
    closeFile();
    const uint32_t peer = session.peerId();
    ClientListener& listener = session.manager().listener();
    session.closeAndRemove();
    listener.OnFileTransferDone(peer);
}

void MediaHandler::onPacket(PeerSession& session, PeerInPacket& packet) {
    ClientListener& listener = session.manager().listener();
    const uint32_t peer = session.peerId();
    const bool voice = media_ == Media::Voice;
    switch (packet.command()) {
    case kPeerStart:
        if (session.initiator() == 0 && !started_) {
            started_ = true;
            PeerOutPacket answer = session.newPacket(kPeerAnswer);
            session.sendPacket(answer);
            voice ? listener.OnVoiceChannelReady(peer, false)
                  : listener.OnVideoChannelReady(peer, false);
        }
        break;
    case kPeerAnswer:
        if (session.initiator() == 1 && !started_) {
            started_ = true;
            voice ? listener.OnVoiceChannelStarted(peer, false)
                  : listener.OnVideoChannelStarted(peer, false);
        }
        break;
    case kPeerData:
        // Data of a talk that never started is not the peer's media.
        if (started_) {
            std::size_t count = 0;
            const uint8_t* bytes = packet.remaining(count);
            voice ? listener.OnVoiceData(peer, bytes, static_cast<uint32_t>(count))
                  : listener.OnVideoData(peer, bytes, static_cast<uint32_t>(count));
        }
        break;
    default:
        break;
    }
}

void MediaHandler::onSessionLost(PeerSession& session) {
    if (!started_) {
        return;
    }
    ClientListener& listener = session.manager().listener();
    media_ == Media::Voice ? listener.OnVoiceCancelled(session.peerId())
                           : listener.OnVideoCancelled(session.peerId());
}

} // namespace talmor
