#include "media/video/videochat.h"

namespace talmor {

VideoChat::~VideoChat() {
    stopStreaming();
}

bool VideoChat::request() {
    if (running()) {
        return false;
    }
    relay_ = false;
    state_ = State::Requested;
    host_.showNotice(VideoNotice::Request);
    host_.sendOffer();
    return true;
}

void VideoChat::onOffer() {
    if (state_ == State::Requested) {
        // Both asked at about the same time: the lower account's offer wins, and the other
        // side takes it as the answer to its own.
        if (!host_.ownOfferWins()) {
            state_ = State::Offered;
            accept();
        }
        return;
    }
    // An offer in the middle of a chat is a stray: the running chat stays.
    if (state_ != State::Idle && state_ != State::Offered) {
        return;
    }
    relay_ = false;
    state_ = State::Offered;
    host_.showNotice(VideoNotice::Offer);
}

bool VideoChat::accept() {
    if (state_ != State::Offered) {
        return false;
    }
    state_ = State::AcceptedByUs;
    host_.showNotice(VideoNotice::YouAccepted);
    host_.sendAccept(host_.listenForVideo());
    return true;
}

void VideoChat::onAccepted(uint16_t port) {
    if (state_ != State::Requested) {
        return;
    }
    relay_ = false;
    state_ = State::AcceptedByPeer;
    host_.showNotice(VideoNotice::PeerAccepted);
    host_.startDirect(port);
    host_.startFallbackTimer();
}

void VideoChat::onFallbackTimer() {
    if (state_ != State::AcceptedByPeer) {
        host_.stopFallbackTimer();
        return;
    }
    relay_ = true;
    host_.sendRelayAsk();
}

void VideoChat::onChannel(bool relayed) {
    if (state_ == State::Streaming) {
        // The other path opened as well: the pictures keep flowing, on the direct path when
        // it is the one that opened now.
        host_.stopFallbackTimer();
        if (!relayed) {
            relay_ = false;
        }
        return;
    }
    if (state_ != State::AcceptedByUs && state_ != State::AcceptedByPeer) {
        return;
    }
    relay_ = relayed;
    host_.stopFallbackTimer();
    state_ = State::Streaming;
    host_.showVideoPane(true);
    startStreaming();
}

void VideoChat::cancel() {
    if (!running()) {
        return;
    }
    finish();
    host_.showNotice(VideoNotice::YouCancelled);
    host_.closeDirect();
    host_.sendCancel();
}

void VideoChat::onCancelled() {
    if (!running()) {
        return;
    }
    finish();
    host_.showNotice(VideoNotice::PeerCancelled);
    host_.closeDirect();
}

void VideoChat::end() {
    if (!running()) {
        return;
    }
    host_.stopFallbackTimer();
    stopStreaming();
    state_ = State::Idle;
    host_.closeDirect();
    host_.sendCancel();
}

void VideoChat::finish() {
    host_.stopFallbackTimer();
    const bool wasStreaming = state_ == State::Streaming;
    state_ = State::Idle;
    if (wasStreaming) {
        host_.showVideoPane(false);
    }
    stopStreaming();
}

void VideoChat::startStreaming() {
    stopStreaming();
    sourceOpen_ = host_.openSource();
    if (!sourceOpen_) {
        host_.closeSource();
        host_.showNotice(VideoNotice::CameraFailed);
    }
    // Without a coder no picture goes either way; the chat itself goes on.
    codec_.open();
    counter_ = 0;
    lastRelaySeq_ = 0;
    order_.reset();
}

void VideoChat::stopStreaming() {
    if (sourceOpen_) {
        host_.closeSource();
        sourceOpen_ = false;
    }
    codec_.close();
}

void VideoChat::onSourceFailed() {
    if (state_ != State::Streaming || !sourceOpen_) {
        return;
    }
    host_.closeSource();
    sourceOpen_ = false;
    host_.showNotice(VideoNotice::CameraFailed);
}

bool VideoChat::previousWaiting() const {
    if (relay_) {
        return lastRelaySeq_ != 0 && host_.requestPending(lastRelaySeq_);
    }
    return host_.directUnsent() > 0;
}

void VideoChat::onCapturedPicture(const uint8_t* rgb, std::size_t size) {
    if (state_ != State::Streaming || size != kPictureBytes) {
        return;
    }
    if (codec_.isOpen()) {
        // A slow peer or link makes pictures wait nowhere: this one goes, or it is dropped.
        const std::size_t limit = relay_ ? kMaxRelayedVideoPacket : kMaxDirectVideoPacket;
        bool handed = false;
        if (!previousWaiting() && codec_.compressPicture(rgb, size, compressed_) &&
            BuildVideoPacket(counter_, compressed_.data(), compressed_.size(), limit, packet_)) {
            if (relay_) {
                const uint16_t seq = host_.sendRelayData(packet_);
                handed = seq != 0;
                if (handed) {
                    lastRelaySeq_ = seq;
                }
            } else {
                handed = host_.sendDirect(packet_);
            }
        }
        if (handed) {
            if (probe_) {
                probe_(false, counter_);
            }
            ++counter_;
            ++sent_;
        } else {
            ++dropped_;
        }
    }
    host_.drawOwn(rgb);
}

void VideoChat::onPacket(const uint8_t* data, std::size_t length) {
    VideoPacketView packet;
    // Which path a packet came by is not known here: the larger transport limit holds.
    if (state_ != State::Streaming || !codec_.isOpen() ||
        !ParseVideoPacket(data, length, kMaxDirectVideoPacket, packet) ||
        !order_.accept(packet.counter)) {
        return;
    }
    if (codec_.decompressPicture(packet.picture, packet.size, decoded_)) {
        ++drawn_;
        host_.drawPeer(decoded_.data());
        if (probe_) {
            probe_(true, packet.counter);
        }
    }
}

} // namespace talmor
