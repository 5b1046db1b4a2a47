// Chat message bodies and every wire record read from arbitrary bytes. Beyond not crashing:
// a record read and written again must read back to the same bytes, and an encoded body never
// exceeds its limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/messagebody.h"
#include "protocol/queryrecords.h"
#include "protocol/records.h"
#include "protocol/sessionrecords.h"

namespace {

using namespace talmor;

std::vector<uint8_t> withHeader(const uint8_t* data, std::size_t size) {
    OutPacket header = makeDatagram(0, 0, 0, 0);
    std::vector<uint8_t> datagram(header.data(), header.data() + header.length());
    datagram.insert(datagram.end(), data, data + size);
    return datagram;
}

std::vector<uint8_t> bodyBytes(const OutPacket& packet) {
    return std::vector<uint8_t>(packet.data() + kDatagramHeaderSize,
                                packet.data() + packet.length());
}

// Writing what was read can take more room than the input (an empty text read from two bytes
// is written as three, a short list gains its zero-filled entries); below this input size the
// writes always fit a packet, so nothing is dropped and the comparison holds.
constexpr std::size_t kStableCheckLimit = 1024;

// Reads a record from `datagram`, writes it, reads that and writes it again: the two writes
// must agree. Larger inputs are only read.
template <typename Read, typename Write>
void checkStable(const std::vector<uint8_t>& datagram, Read read, Write write) {
    InPacket in(datagram.data(), datagram.size());
    OutPacket first = makeDatagram(0, 0, 0, 0);
    write(read(in), first);
    if (datagram.size() > kDatagramHeaderSize + kStableCheckLimit) {
        return;
    }
    InPacket again(first.data(), first.length());
    OutPacket second = makeDatagram(0, 0, 0, 0);
    write(read(again), second);
    if (bodyBytes(first) != bodyBytes(second)) {
        std::abort();
    }
}

template <typename T> void checkRecord(const std::vector<uint8_t>& datagram) {
    checkStable(
        datagram, [](InPacket& in) { return T::read(in); },
        [](const T& record, OutPacket& out) { record.write(out); });
}

template <typename T> void checkList(const std::vector<uint8_t>& datagram) {
    checkStable(
        datagram, [](InPacket& in) { return readList<T>(in); },
        [](const std::vector<T>& list, OutPacket& out) { writeList(out, list); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (uint8_t kind : {kMessageKindFormatted, kMessageKindAutoReply}) {
        MessageRecord message = buildReceivedMessage(kind, 7, 100, text, true);
        if (encodeMessageBody(message).size() >= kMaxMessageBody) {
            std::abort();
        }
    }
    if (size == 0) {
        return 0;
    }

    // The first byte picks the record, the rest is its body: one record per run keeps the
    // runs fast enough for millions of them.
    const std::vector<uint8_t> datagram = withHeader(data + 1, size - 1);
    constexpr CallWireOrder orders[] = {CallWireOrder::ListEntry,
                                        CallWireOrder::ListEntryWithSource,
                                        CallWireOrder::TakenCall, CallWireOrder::NewCall};
    const CallWireOrder order = orders[data[0] % 4];
    switch (data[0] % 24) {
    case 0:
    case 1:
    case 2:
    case 3:
        checkStable(
            datagram, [order](InPacket& in) { return CallRecord::read(in, order); },
            [order](const CallRecord& record, OutPacket& out) { record.write(out, order); });
        break;
    case 4:
    case 5:
    case 6:
    case 7:
        checkStable(
            datagram,
            [order](InPacket& in) {
                return readList<CallRecord>(
                    in, [order](InPacket& p) { return CallRecord::read(p, order); });
            },
            [order](const std::vector<CallRecord>& list, OutPacket& out) {
                writeList(out, list,
                          [order](OutPacket& o, const CallRecord& r) { r.write(o, order); });
            });
        break;
    case 8:
        checkRecord<UserRecord>(datagram);
        break;
    case 9:
        checkRecord<SellerEntry>(datagram);
        break;
    case 10:
        checkRecord<LoginRequest>(datagram);
        break;
    case 11:
        checkRecord<LoginReply>(datagram);
        break;
    case 12:
        checkRecord<SeatRights>(datagram);
        break;
    case 13:
        checkRecord<ServerMessage>(datagram);
        break;
    case 14:
        checkRecord<UserSearch>(datagram);
        break;
    case 15:
        checkRecord<ProviderSearch>(datagram);
        break;
    case 16:
        checkRecord<ColleagueSearch>(datagram);
        break;
    case 17:
        checkRecord<SellerQuery>(datagram);
        break;
    case 18:
        checkRecord<ServiceNotice>(datagram);
        break;
    case 19:
        checkList<ContactEntry>(datagram);
        break;
    case 20:
        checkList<PresenceEntry>(datagram);
        break;
    case 21:
        checkList<GroupEntry>(datagram);
        break;
    case 22:
        checkList<UserSummaryEntry>(datagram);
        break;
    default:
        checkList<SearchEntryA>(datagram);
        checkList<SearchEntryB>(datagram);
        checkList<SearchEntryC>(datagram);
        checkList<SearchEntryD>(datagram);
        break;
    }
    return 0;
}
