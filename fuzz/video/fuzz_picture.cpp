// Video packets from another console fed arbitrary bytes: the packet reader, the order check and
// the picture decoder, several packets per input so the decoder's state carries from one to
// the next. Beyond not crashing: a decoded picture is always exactly one QCIF RGB picture.
// One decoder serves every input, reset before each, as the console keeps one per video chat.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/video/codec/picturecodec.h"
#include "media/video/codec/videopacket.h"

using namespace talmor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static PictureDecoder codec;
    if (!codec.isOpen() && !codec.open()) {
        std::abort();
    }
    codec.reset();
    PictureOrder order;
    std::vector<uint8_t> rgb;
    // Each packet: one byte choosing the transport, a u16 length (little end first), the bytes.
    std::size_t at = 0;
    while (at + 3 <= size) {
        const bool relayed = (data[at] & 1) != 0;
        std::size_t length = data[at + 1] | (std::size_t{data[at + 2]} << 8);
        at += 3;
        if (length > size - at) {
            length = size - at;
        }
        // A packet that reads well hands its picture to the decoder; any other bytes go to the
        // decoder as they are, as a peer could send any picture behind a valid header.
        VideoPacketView packet;
        const std::size_t limit = relayed ? kMaxRelayedVideoPacket : kMaxDirectVideoPacket;
        const uint8_t* picture = data + at;
        std::size_t pictureSize = length;
        if (ParseVideoPacket(data + at, length, limit, packet)) {
            if (packet.size + kVideoHeaderBytes != length || length > limit) {
                std::abort();
            }
            order.accept(packet.counter);
            picture = packet.picture;
            pictureSize = packet.size;
        }
        if (codec.decompressPicture(picture, pictureSize, rgb) && rgb.size() != kPictureBytes) {
            std::abort();
        }
        at += length;
    }
    return 0;
}
