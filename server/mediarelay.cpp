// Peer media negotiation and relay: a request 256-273 about a peer reaches that peer's console
// as 768-785 naming the sender instead. Relayed data passes unchanged; its length is the one
// the sender declared, since the deciphered body ends in block padding. Only a peer's contact
// gets any answer.
#include "protocol/commands.h"
#include "server/handlers.h"
#include "server/mediatalks.h"

namespace talmor::server {

namespace {

constexpr uint16_t kToPeer = incoming::CMD_FILE_OFFER - CMD_FILE_OFFER;

// Which fields follow the peer id, by request.
enum class Shape {
    PeerOnly,  // cancel, relay ask, voice/video relay answer
    Port,      // accept, voice/video offer: u16 port
    Offer,     // file offer: u16 port, u32 size, text name
    Received,  // file relay answer: u32 bytes received
    FileData,  // u32 length, u32 bytes sent, data
    MediaData, // u32 length, data
};

Shape shapeOf(uint16_t command) {
    switch (command) {
    case CMD_FILE_OFFER:
        return Shape::Offer;
    case CMD_VOICE_OFFER:
    case CMD_VIDEO_OFFER:
    case CMD_FILE_ACCEPT:
    case CMD_VOICE_ACCEPT:
    case CMD_VIDEO_ACCEPT:
        return Shape::Port;
    case CMD_FILE_RELAY_ANSWER:
        return Shape::Received;
    case CMD_FILE_RELAY_DATA:
        return Shape::FileData;
    case CMD_VOICE_RELAY_DATA:
    case CMD_VIDEO_RELAY_DATA:
        return Shape::MediaData;
    default:
        return Shape::PeerOnly;
    }
}

void relay(Request& r) {
    const uint16_t command = r.in.command();
    const uint32_t peer = r.in.u32();
    // Offers, data and even a cancel (which tells whether the peer is logged in) are only for
    // someone the peer lists as a contact.
    const Account* peerAccount = r.server.directory().find(peer);
    if (peerAccount == nullptr || !peerAccount->hasContact(r.operatorId())) {
        r.note("peer " + std::to_string(peer) + " does not list the sender as a contact");
        return;
    }
    ConsoleSession* target = r.server.activeSession(peer);
    if (target == nullptr) {
        r.note("peer " + std::to_string(peer) + " is not logged in");
        // An offer or acceptance nobody can answer would leave its window waiting for ever.
        if (const uint16_t cancel = matchingCancel(command)) {
            r.server.send(r.session, static_cast<uint16_t>(cancel + kToPeer), 0,
                          [&](OutPacket& out) { out.writeInt(peer); });
        }
        return;
    }
    uint32_t noted = 0; // the file size of an offer, the bytes sent of file data
    OutPacket body;
    body.writeInt(r.operatorId());
    switch (shapeOf(command)) {
    case Shape::PeerOnly:
        break;
    case Shape::Port:
        body.writeShort(r.in.u16());
        break;
    case Shape::Offer:
        body.writeShort(r.in.u16());
        noted = r.in.u32();
        body.writeInt(noted);
        body.writeString(r.in.text());
        break;
    case Shape::Received:
        body.writeInt(r.in.u32());
        break;
    case Shape::FileData:
    case Shape::MediaData: {
        const uint32_t length = r.in.u32();
        if (shapeOf(command) == Shape::FileData) {
            noted = r.in.u32();
            body.writeInt(noted);
        }
        std::size_t available = 0;
        const uint8_t* data = r.in.remaining(available);
        if (length > available) {
            r.note("relay data shorter than its length; dropped");
            return;
        }
        body.writeBytes(data, length);
        break;
    }
    }
    r.server.send(*target, static_cast<uint16_t>(command + kToPeer), 0,
                  [&](OutPacket& out) { out.writeBytes(body.data(), body.length()); });
    r.server.talks().relayed(command, r.operatorId(), peer, noted);
}

} // namespace

void addMediaRelay(HandlerTable& table) {
    for (uint16_t command = CMD_FILE_OFFER; command <= CMD_VIDEO_RELAY_DATA; ++command) {
        table[command] = relay;
    }
}

} // namespace talmor::server
