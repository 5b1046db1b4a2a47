#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "media/talk/negotiation.h"
#include "media/video/codec/picturecodec.h"
#include "media/video/codec/videopacket.h"

namespace talmor {

// The lines a video chat adds to its chat window's display.
enum class VideoNotice {
    Request,       // the operator asked; cancel link
    Offer,         // the peer asks; accept and cancel links
    YouAccepted,   // the operator accepted, the channel is being opened
    PeerAccepted,  // the peer accepted, the channel is being opened
    YouCancelled,  // the operator ended the chat
    PeerCancelled, // the peer ended the chat
    CameraFailed,  // the video source did not open: the peer sees nothing of us
};

// What a video chat needs from the console around it: the server's requests, the direct
// session, timer 100004, the chat window, the video source and the video pane.
class VideoChatHost {
public:
    virtual ~VideoChatHost() = default;

    virtual void sendOffer() = 0;
    // Whether this console's offer wins when both sides asked at about the same time: the
    // lower account's does.
    virtual bool ownOfferWins() const = 0;
    virtual void sendAccept(uint16_t port) = 0;
    virtual void sendCancel() = 0;
    virtual void sendRelayAsk() = 0;
    // Request 273 with `packet`; its sequence number, 0 when nothing was sent.
    virtual uint16_t sendRelayData(const std::vector<uint8_t>& packet) = 0;
    // Whether request `seq` still waits for the server's acknowledgement.
    virtual bool requestPending(uint16_t seq) const = 0;

    // Listens for the peer's direct session; the port, 0 when none.
    virtual uint16_t listenForVideo() = 0;
    virtual void startDirect(uint16_t port) = 0;
    // A 4098 packet on the direct session; false when it was not taken.
    virtual bool sendDirect(const std::vector<uint8_t>& packet) = 0;
    // Bytes of earlier packets the direct session has not handed to the network yet.
    virtual std::size_t directUnsent() const = 0;
    virtual void closeDirect() = 0;

    virtual void startFallbackTimer() = 0;
    virtual void stopFallbackTimer() = 0;

    virtual void showNotice(VideoNotice notice) = 0;
    // Puts the video pane (true) or the picture pane (false) on the chat window's right.
    virtual void showVideoPane(bool shown) = 0;

    // Starts the video source; false when it cannot deliver pictures.
    virtual bool openSource() = 0;
    virtual void closeSource() = 0;
    // A picture of kPictureBytes RGB to draw: the operator's own, or the peer's.
    virtual void drawOwn(const uint8_t* rgb) = 0;
    virtual void drawPeer(const uint8_t* rgb) = 0;
};

// One video chat with one contact, from the request or the offer to its end: the negotiation
// every talk kind shares (the direct channel with its fallback to the server's relay), and the
// pictures both ways. It runs on the user-interface thread, which owns the sessions; pictures
// reach it there.
class VideoChat : private media::NegotiationHost {
public:
    enum class State {
        Idle,
        Requested,      // the operator's offer waits for the peer
        Offered,        // the peer's offer waits for the operator
        AcceptedByUs,   // listening for the peer's direct session
        AcceptedByPeer, // connecting directly, relay after every 5 s without a channel
        Streaming,
    };
    static constexpr int kFallbackMs = media::Negotiation::kFallbackMs;

    explicit VideoChat(VideoChatHost& host) : host_(host), negotiation_(*this, kRules) {}
    ~VideoChat() override;
    VideoChat(const VideoChat&) = delete;
    VideoChat& operator=(const VideoChat&) = delete;

    // The operator's request; false when a chat runs already (the caller asks to end it).
    bool request() { return negotiation_.request(kPeer); }
    void onOffer() { negotiation_.offered(kPeer); }
    // The accept link; false when no offer waits.
    bool accept() { return negotiation_.accept(kPeer); }
    void onAccepted(uint16_t port) { negotiation_.accepted(kPeer, port); }
    // Timer 100004: ask the server to relay.
    void onFallbackTimer() { negotiation_.fallbackTimer(kPeer); }
    // A channel is open (ready on the accepting side, started on the requesting side).
    void onChannel(bool relayed) { negotiation_.channelOpen(kPeer, relayed); }
    // The operator ends the chat (cancel link, video command, answer to the question).
    void cancel() { negotiation_.cancel(kPeer); }
    void onCancelled() { negotiation_.cancelled(kPeer); }
    // The chat window closes: the chat ends without a word in the display.
    void end() { negotiation_.windowClosed(kPeer); }

    // The video source stopped after it had started: the peer sees nothing more of us.
    void onSourceFailed();
    // A picture from the video source: `size` bytes of RGB.
    void onCapturedPicture(const uint8_t* rgb, std::size_t size);
    // A video packet from the peer, over either path.
    void onPacket(const uint8_t* data, std::size_t length);

    // Told of each picture handed to a transport (drawn false) and each peer picture drawn
    // (drawn true), with the picture's counter: how the benchmarks time a picture from one
    // console to the other.
    using PictureProbe = std::function<void(bool drawn, uint8_t counter)>;
    void setProbe(PictureProbe probe) { probe_ = std::move(probe); }

    State state() const;
    bool running() const { return negotiation_.running(kPeer); }
    bool relayed() const { return negotiation_.relayed(kPeer); }
    bool sourceOpen() const { return sourceOpen_; }
    uint8_t counter() const { return counter_; }
    uint64_t picturesSent() const { return sent_; }
    uint64_t picturesDropped() const { return dropped_; }
    uint64_t peerPicturesDrawn() const { return drawn_; }

private:
    // A chat lives in the window of its one peer, whom the host knows: the negotiation holds
    // that peer under this key.
    static constexpr uint32_t kPeer = 0;
    // A repeated offer is shown again; once the direct path is open the pictures stay on it.
    static constexpr media::Negotiation::Rules kRules{true, true};

    // NegotiationHost: the video host's requests, session, timer, notices and pane.
    void sendOffer(uint32_t) override { host_.sendOffer(); }
    bool ownOfferWins(uint32_t) const override { return host_.ownOfferWins(); }
    void sendAccept(uint32_t, uint16_t port) override { host_.sendAccept(port); }
    void sendCancel(uint32_t) override { host_.sendCancel(); }
    void sendRelayAsk(uint32_t) override { host_.sendRelayAsk(); }
    uint16_t listenFor(uint32_t) override { return host_.listenForVideo(); }
    void startDirect(uint32_t, uint16_t port) override { host_.startDirect(port); }
    void closeChannel(uint32_t) override { host_.closeDirect(); }
    void startFallbackTimer(uint32_t) override { host_.startFallbackTimer(); }
    void stopFallbackTimer(uint32_t) override { host_.stopFallbackTimer(); }
    bool mayStart(uint32_t) override { return true; }
    void showRequested(uint32_t) override { host_.showNotice(VideoNotice::Request); }
    void showOffered(uint32_t) override { host_.showNotice(VideoNotice::Offer); }
    void showAccepted(uint32_t, bool byUs) override;
    void openStrip(uint32_t) override;
    void closeStrip(uint32_t, media::TalkEnd how, bool wasOpen) override;
    void showEnded(uint32_t, media::TalkEnd how) override;

    bool streaming() const { return negotiation_.state(kPeer) == media::Negotiation::State::Open; }
    void startStreaming();
    void stopStreaming();
    // Whether the packet of the previous picture is still on its way out.
    bool previousWaiting() const;

    VideoChatHost& host_;
    media::Negotiation negotiation_;
    bool sourceOpen_ = false;
    uint8_t counter_ = 0;
    uint16_t lastRelaySeq_ = 0;
    PictureCodec codec_;
    PictureOrder order_;
    std::vector<uint8_t> compressed_;
    std::vector<uint8_t> packet_;
    std::vector<uint8_t> decoded_;
    uint64_t sent_ = 0;
    uint64_t dropped_ = 0;
    uint64_t drawn_ = 0;
    PictureProbe probe_;
};

} // namespace talmor
