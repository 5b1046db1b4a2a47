#include "media/file/filetransfer.h"

#include <cerrno>

#include "kit/appfolders.h"
#include "kit/consolehost.h"
#include "kit/gbktext.h"
#include "media/file/filetexts.h"
#include "messaging/chat/chatnotices.h"
#include "protocol/contactstore.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "storage/datafiles.h"
#include "storage/partfiles.h"

namespace talmor {

namespace {

storage::PartFiles Parts() {
    return storage::PartFiles(storage::JoinPath(applicationFolder(), storage::kPartFilesLedger));
}

} // namespace

FileTransfer::FileTransfer(ConsoleHost& host, PeerSessionManager& peers, TimerHost& timers,
                           FileTransferView& view, uint32_t peer, Role role, std::string name,
                           uint32_t size, std::string path)
    : host_(host), peers_(peers), timers_(timers), view_(view), peer_(peer), role_(role),
      name_(std::move(name)), size_(size), path_(std::move(path)) {
    chunk_.reserve(kChunkSize); // an empty chunk still has somewhere to point
}

FileTransfer::~FileTransfer() {
    closeFile();
    if (created_ && role_ == Role::Receiving) {
        // The console quits in the middle: no part of the file stays behind.
        Parts().discard(part_);
    }
}

QString FileTransfer::shownName() const {
    return OneLine(FromGbk(name_));
}

void FileTransfer::closeFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void FileTransfer::offer() {
    host_.client().fileOffer(peer_, size_, name_);
}

void FileTransfer::accept(const std::string& savePath) {
    if (role_ != Role::Receiving || phase_ != Phase::Offered) {
        return;
    }
    path_ = savePath;
    int error = 0;
    part_ = Parts().create(path_, error);
    if (part_.empty()) {
        end(filetext::CannotWrite(shownName(), error), true);
        return;
    }
    created_ = true;
    phase_ = Phase::Accepted;
    view_.showLine(filetext::AcceptedByOperator(shownName()));
    view_.forgetOfferLinks();
    // Opening a listener closes every file session: while another transfer uses one, this
    // one gets no listener (port 0) and goes through the relay instead of ending the other.
    const uint16_t port =
        peers_.findSession(kFileKind, 0) != nullptr ? 0 : peers_.listenFor(kFileKind, peer_);
    host_.client().fileAccept(peer_, port);
}

void FileTransfer::cancel() {
    if (over()) {
        return;
    }
    end(filetext::CancelledByOperator(shownName()), true);
}

void FileTransfer::onCancelled() {
    if (over()) {
        return;
    }
    end(filetext::CancelledByPeer(shownName()), false);
}

void FileTransfer::onAccepted(uint16_t port) {
    if (role_ != Role::Sending || phase_ != Phase::Offered) {
        return;
    }
    phase_ = Phase::Accepted;
    view_.showLine(filetext::AcceptedByPeer(shownName()));
    view_.forgetOfferLinks();
    unanswered_ = 0;
    timers_.startTimer(kRelayAskTimer, kRelayAskMs);
    if (port != 0) {
        peers_.startFileTransfer(peer_, port, size_, path_);
    }
}

void FileTransfer::onProgress(uint32_t total, uint32_t done) {
    if (phase_ == Phase::Accepted) {
        // The direct session is under way: the relay is not asked for.
        phase_ = Phase::Direct;
        timers_.stopTimer(kRelayAskTimer);
    }
    if (phase_ != Phase::Direct) {
        return;
    }
    done_ = done;
    view_.showProgress(total, done);
}

void FileTransfer::onDone() {
    // An empty file completes without progress, while still accepted.
    if (phase_ == Phase::Direct || phase_ == Phase::Accepted) {
        complete();
    }
}

void FileTransfer::onFailed(int error) {
    if (error == ECONNRESET) {
        // The direct session was cut off: before it carried anything the relay may still come.
        if (phase_ == Phase::Direct) {
            timers_.startTimer(kLostTimer, kLostMs);
        }
        return;
    }
    if (phase_ != Phase::Direct && phase_ != Phase::Accepted) {
        return;
    }
    end(role_ == Role::Sending ? filetext::CannotRead(shownName(), error)
                               : filetext::CannotWrite(shownName(), error),
        true);
}

void FileTransfer::onPeerOffline() {
    if (!over()) {
        end(filetext::PeerOffline(shownName()), false);
    }
}

std::string FileTransfer::directPath() {
    if (role_ != Role::Receiving || phase_ != Phase::Accepted) {
        return {};
    }
    return part_;
}

void FileTransfer::onRelayReady(uint32_t received) {
    if (role_ != Role::Sending) {
        return;
    }
    if (phase_ == Phase::Accepted) {
        // The relay wins: the direct session, if it ever comes, must not write as well.
        phase_ = Phase::Relay;
        timers_.stopTimer(kRelayAskTimer);
        peers_.closeSessionsFor(kFileKind, peer_);
    }
    // Anything but the count of what was sent is an old or a false answer.
    if (phase_ != Phase::Relay || received != done_) {
        return;
    }
    timers_.stopTimer(kRepeatTimer);
    unanswered_ = 0;
    if (done_ < size_ || (size_ == 0 && chunk_.empty() && file_ == nullptr)) {
        sendNextChunk();
    } else {
        complete();
    }
}

void FileTransfer::sendNextChunk() {
    if (file_ == nullptr) {
        file_ = std::fopen(path_.c_str(), "rb");
        if (file_ == nullptr) {
            end(filetext::CannotRead(shownName(), errno), true);
            return;
        }
    }
    const std::size_t want = std::min<std::size_t>(kChunkSize, size_ - done_);
    chunk_.resize(want);
    const std::size_t count = want == 0 ? 0 : std::fread(chunk_.data(), 1, want, file_);
    if (count != want) {
        end(filetext::CannotRead(shownName(), std::ferror(file_) != 0 ? errno : 0), true);
        return;
    }
    done_ += static_cast<uint32_t>(count);
    sendChunk();
    view_.showProgress(size_, done_);
    if (size_ == 0) {
        // The empty chunk tells the receiver to create the file; nothing is left to send.
        complete();
        return;
    }
    timers_.startTimer(kRepeatTimer, kRepeatMs);
}

void FileTransfer::sendChunk() {
    host_.client().fileRelayData(peer_, chunk_.data(), chunk_.size(), done_);
}

void FileTransfer::onRelayData(const uint8_t* data, uint32_t length, uint32_t sent) {
    if (role_ != Role::Receiving) {
        return;
    }
    if (phase_ == Phase::Accepted) {
        // The relay wins: the listener and any direct session with the peer are shut.
        phase_ = Phase::Relay;
        peers_.closeSessionsFor(kFileKind, peer_);
    }
    if (phase_ != Phase::Relay) {
        return;
    }
    // Written only where it continues the file exactly and stays within the announced size.
    if (length <= size_ - done_ && sent == done_ + length) {
        if (file_ == nullptr) {
            file_ = storage::PartFiles::OpenPart(part_);
            if (file_ == nullptr) {
                end(filetext::CannotWrite(shownName(), errno), true);
                return;
            }
        }
        if (length > 0 &&
            (std::fwrite(data, 1, length, file_) != length || std::fflush(file_) != 0)) {
            end(filetext::CannotWrite(shownName(), errno), true);
            return;
        }
        done_ += length;
        view_.showProgress(size_, done_);
    }
    host_.client().fileRelayAnswer(peer_, done_);
    if (done_ >= size_ && file_ != nullptr) {
        complete();
    }
}

bool FileTransfer::peerStillThere() {
    const ContactRecord* contact = host_.contacts().find(peer_);
    if (contact == nullptr || contact->status == kStatusOffline) {
        end(filetext::PeerOffline(shownName()), false);
        return false;
    }
    if (++unanswered_ > kMaxUnanswered) {
        end(filetext::NoAnswer(shownName()), true);
        return false;
    }
    return true;
}

void FileTransfer::onTimer(int id) {
    if (id == kLostTimer) {
        timers_.stopTimer(kLostTimer);
        if (phase_ == Phase::Direct) {
            end(filetext::ConnectionLost(shownName()), true);
        }
    } else if (id == kRelayAskTimer && phase_ == Phase::Accepted) {
        if (peerStillThere()) {
            host_.client().fileRelayAsk(peer_);
        }
    } else if (id == kRepeatTimer && phase_ == Phase::Relay && role_ == Role::Sending) {
        if (peerStillThere()) {
            sendChunk();
        }
    }
}

void FileTransfer::complete() {
    if (file_ != nullptr && role_ == Role::Receiving) {
        std::FILE* written = file_;
        file_ = nullptr;
        if (std::fclose(written) != 0) {
            end(filetext::CannotWrite(shownName(), errno), true);
            return;
        }
    }
    closeFile();
    if (created_ && role_ == Role::Receiving) {
        int error = 0;
        if (!Parts().finish(part_, path_, error)) {
            end(filetext::CannotWrite(shownName(), error), true);
            return;
        }
        created_ = false; // whole, under its chosen name
    }
    end(filetext::Completed(shownName()), false);
}

void FileTransfer::end(const QString& line, bool tellPeer) {
    phase_ = Phase::Over;
    timers_.stopTimer(kRelayAskTimer);
    timers_.stopTimer(kRepeatTimer);
    timers_.stopTimer(kLostTimer);
    peers_.closeSessionsFor(kFileKind, peer_);
    closeFile();
    if (created_ && role_ == Role::Receiving) {
        // An incomplete file never takes the chosen name; a file there before stays.
        Parts().discard(part_);
        created_ = false;
    }
    if (tellPeer) {
        host_.client().fileCancel(peer_);
    }
    view_.forgetOfferLinks();
    view_.showLine(line);
    view_.closed();
}

} // namespace talmor
