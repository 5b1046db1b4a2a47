#pragma once

#include <cstdint>
#include <vector>

namespace talmor::server {

class PlatformServer;

// The transfers and talks whose negotiation the server relayed, from the offer until a cancel
// or the end of the file, so that a console that leaves in the middle does not leave its peer
// waiting.
class MediaTalks {
public:
    // Notes a relayed request 256-273 from `from` about `to`; `value` is the file size of an
    // offer and the bytes sent of relayed file data.
    void relayed(uint16_t command, uint32_t from, uint32_t to, uint32_t value);

    struct Peer {
        uint16_t cancelRequest = 0; // 258, 264 or 270
        uint32_t peer = 0;
    };
    // Forgets the talks of `operatorId` and says with whom they were.
    std::vector<Peer> leave(uint32_t operatorId);

private:
    struct Talk {
        uint16_t cancelRequest = 0;
        uint32_t offerer = 0;
        uint32_t accepter = 0;
        uint32_t size = 0; // of a file
    };
    void remove(uint16_t cancelRequest, uint32_t a, uint32_t b);

    std::vector<Talk> talks_;
};

// The cancel request that matches an offer or acceptance 256, 257, 262, 263, 268 or 269; 0 for
// any other request.
uint16_t matchingCancel(uint16_t command);

// `operatorId` left: its peers in a relayed transfer or talk get the cancel.
void cancelTalksOf(PlatformServer& server, uint32_t operatorId);

} // namespace talmor::server
