#include "media/video/videochat.h"

namespace talmor {

VideoChat::~VideoChat() {
    stopStreaming();
}

VideoChat::State VideoChat::state() const {
    switch (negotiation_.state(kPeer)) {
    case media::Negotiation::State::Idle:
        return State::Idle;
    case media::Negotiation::State::Requested:
        return State::Requested;
    case media::Negotiation::State::Offered:
        return State::Offered;
    case media::Negotiation::State::AcceptedByUs:
        return State::AcceptedByUs;
    case media::Negotiation::State::AcceptedByPeer:
        return State::AcceptedByPeer;
    case media::Negotiation::State::Open:
        return State::Streaming;
    }
    return State::Idle;
}

void VideoChat::showAccepted(uint32_t, bool byUs) {
    host_.showNotice(byUs ? VideoNotice::YouAccepted : VideoNotice::PeerAccepted);
}

void VideoChat::openStrip(uint32_t) {
    host_.showVideoPane(true);
    startStreaming();
}

void VideoChat::closeStrip(uint32_t, media::TalkEnd how, bool wasOpen) {
    // A closing window keeps its panes as they are.
    if (wasOpen && how != media::TalkEnd::WindowClosed) {
        host_.showVideoPane(false);
    }
    stopStreaming();
}

void VideoChat::showEnded(uint32_t, media::TalkEnd how) {
    if (how != media::TalkEnd::WindowClosed) {
        host_.showNotice(how == media::TalkEnd::ByUs ? VideoNotice::YouCancelled
                                                     : VideoNotice::PeerCancelled);
    }
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
    if (!streaming() || !sourceOpen_) {
        return;
    }
    host_.closeSource();
    sourceOpen_ = false;
    host_.showNotice(VideoNotice::CameraFailed);
}

bool VideoChat::previousWaiting() const {
    if (relayed()) {
        return lastRelaySeq_ != 0 && host_.requestPending(lastRelaySeq_);
    }
    return host_.directUnsent() > 0;
}

void VideoChat::onCapturedPicture(const uint8_t* rgb, std::size_t size) {
    if (!streaming() || size != kPictureBytes) {
        return;
    }
    if (codec_.isOpen()) {
        // A slow peer or link makes pictures wait nowhere: this one goes, or it is dropped.
        const std::size_t limit = relayed() ? kMaxRelayedVideoPacket : kMaxDirectVideoPacket;
        bool handed = false;
        if (!previousWaiting() && codec_.compressPicture(rgb, size, compressed_) &&
            BuildVideoPacket(counter_, compressed_.data(), compressed_.size(), limit, packet_)) {
            if (relayed()) {
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
    if (!streaming() || !codec_.isOpen() ||
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
