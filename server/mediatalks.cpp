#include "server/mediatalks.h"

#include <algorithm>

#include "protocol/commands.h"
#include "server/platformserver.h"

namespace talmor::server {

namespace {
constexpr uint16_t kToPeer = incoming::CMD_FILE_OFFER - CMD_FILE_OFFER;

// The cancel request of the family (file, voice, video) a request 256-273 belongs to.
uint16_t cancelOf(uint16_t command) {
    if (command >= CMD_FILE_OFFER && command <= CMD_FILE_RELAY_DATA) {
        return CMD_FILE_CANCEL;
    }
    if (command >= CMD_VOICE_OFFER && command <= CMD_VOICE_RELAY_DATA) {
        return CMD_VOICE_CANCEL;
    }
    if (command >= CMD_VIDEO_OFFER && command <= CMD_VIDEO_RELAY_DATA) {
        return CMD_VIDEO_CANCEL;
    }
    return 0;
}
} // namespace

uint16_t matchingCancel(uint16_t command) {
    switch (command) {
    case CMD_FILE_OFFER:
    case CMD_FILE_ACCEPT:
    case CMD_VOICE_OFFER:
    case CMD_VOICE_ACCEPT:
    case CMD_VIDEO_OFFER:
    case CMD_VIDEO_ACCEPT:
        return cancelOf(command);
    default:
        return 0;
    }
}

void MediaTalks::remove(uint16_t cancelRequest, uint32_t a, uint32_t b) {
    talks_.erase(std::remove_if(talks_.begin(), talks_.end(),
                                [&](const Talk& talk) {
                                    return talk.cancelRequest == cancelRequest &&
                                           ((talk.offerer == a && talk.accepter == b) ||
                                            (talk.offerer == b && talk.accepter == a));
                                }),
                 talks_.end());
}

void MediaTalks::relayed(uint16_t command, uint32_t from, uint32_t to, uint32_t value) {
    const uint16_t cancel = cancelOf(command);
    if (cancel == 0) {
        return;
    }
    if (command == CMD_FILE_OFFER || command == CMD_VOICE_OFFER || command == CMD_VIDEO_OFFER) {
        // A new offer replaces whatever ran between the two.
        remove(cancel, from, to);
        talks_.push_back(Talk{cancel, from, to, value});
    } else if (command == cancel) {
        remove(cancel, from, to);
    } else if (command == CMD_FILE_RELAY_DATA) {
        talks_.erase(std::remove_if(talks_.begin(), talks_.end(),
                                    [&](const Talk& talk) {
                                        return talk.cancelRequest == cancel &&
                                               talk.offerer == from && talk.accepter == to &&
                                               value >= talk.size;
                                    }),
                     talks_.end());
    }
}

std::vector<MediaTalks::Peer> MediaTalks::leave(uint32_t operatorId) {
    std::vector<Peer> peers;
    auto involved = [operatorId](const Talk& talk) {
        return talk.offerer == operatorId || talk.accepter == operatorId;
    };
    for (const Talk& talk : talks_) {
        if (involved(talk)) {
            peers.push_back(
                {talk.cancelRequest, talk.offerer == operatorId ? talk.accepter : talk.offerer});
        }
    }
    talks_.erase(std::remove_if(talks_.begin(), talks_.end(), involved), talks_.end());
    return peers;
}

void cancelTalksOf(PlatformServer& server, uint32_t operatorId) {
    for (const MediaTalks::Peer& peer : server.talks().leave(operatorId)) {
        if (ConsoleSession* other = server.activeSession(peer.peer)) {
            server.send(*other, static_cast<uint16_t>(peer.cancelRequest + kToPeer), 0,
                        [&](OutPacket& out) { out.writeInt(operatorId); });
        }
    }
}

} // namespace talmor::server
