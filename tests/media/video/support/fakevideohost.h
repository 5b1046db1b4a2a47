#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "media/video/videochat.h"

namespace talmor::testing {

// A console around one video chat that records what the chat asks of it and lets a test
// decide what the links and the source do.
class FakeVideoHost : public VideoChatHost {
public:
    void sendOffer() override { requests.push_back("offer"); }
    bool ownOfferWins() const override { return offerWins; }
    void sendAccept(uint16_t port) override {
        requests.push_back("accept " + std::to_string(port));
    }
    void sendCancel() override { requests.push_back("cancel"); }
    void sendRelayAsk() override { requests.push_back("relay ask"); }
    uint16_t sendRelayData(const std::vector<uint8_t>& packet) override {
        relayed.push_back(packet);
        const uint16_t seq = nextSeq++;
        pending.insert(seq);
        return seq;
    }
    bool requestPending(uint16_t seq) const override { return pending.count(seq) != 0; }
    uint16_t listenForVideo() override { return listenPort; }
    void startDirect(uint16_t port) override { directPort = port; }
    bool sendDirect(const std::vector<uint8_t>& packet) override {
        direct.push_back(packet);
        return directTakes;
    }
    std::size_t directUnsent() const override { return unsent; }
    void closeDirect() override { ++directClosed; }
    void startFallbackTimer() override { timer = true; }
    void stopFallbackTimer() override { timer = false; }
    void showNotice(VideoNotice notice) override { notices.push_back(notice); }
    void showVideoPane(bool shown) override { videoPane = shown; }
    bool openSource() override {
        ++sourceOpens;
        sourceOpen = sourceWorks;
        return sourceWorks;
    }
    void closeSource() override { sourceOpen = false; }
    void drawOwn(const uint8_t*) override { ++ownDrawn; }
    void drawPeer(const uint8_t* rgb) override {
        peerPictures.emplace_back(rgb, rgb + kPictureBytes);
    }

    std::vector<std::string> requests;
    std::vector<std::vector<uint8_t>> relayed;
    std::vector<std::vector<uint8_t>> direct;
    std::set<uint16_t> pending;
    uint16_t nextSeq = 1;
    uint16_t listenPort = 40123;
    uint16_t directPort = 0;
    bool directTakes = true;
    bool offerWins = true;
    std::size_t unsent = 0;
    int directClosed = 0;
    bool timer = false;
    std::vector<VideoNotice> notices;
    bool videoPane = false;
    bool sourceWorks = true;
    bool sourceOpen = false;
    int sourceOpens = 0;
    int ownDrawn = 0;
    std::vector<std::vector<uint8_t>> peerPictures;
};

} // namespace talmor::testing
