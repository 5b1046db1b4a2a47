// Store-stream decoding on any bytes: the bounded reader and the three record
// decoders must stay inside the value, and what they decode must encode and decode again to the
// same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "storage/historystore.h"
#include "storage/optionstore.h"
#include "storage/storestream.h"

using namespace talmor::storage;
using talmor::MessageRecord;

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Re-encoding adds at most a few bytes per field over what decoding consumed (a field read as
// 0 or empty still takes its full size), so a value this much smaller than the stream capacity
// always fits again whole.
constexpr std::size_t kRoundTripLimit = kStoreStreamCapacity - 96;

template <typename Record, typename Encode, typename Decode>
void roundTrip(const uint8_t* data, std::size_t size, Encode encode, Decode decode) {
    const Record first = decode(data, size);
    const StoreWriter again = encode(first);
    check(again.size() <= kStoreStreamCapacity);
    if (size <= kRoundTripLimit) {
        check(decode(again.data(), again.size()) == first);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The reader driven by the input itself: each byte picks the next read.
    StoreReader reader(data, size);
    for (std::size_t i = 0; i < size && i < 512; ++i) {
        const std::size_t before = reader.position();
        switch (data[i] % 4) {
        case 0:
            reader.u8();
            break;
        case 1:
            reader.u16();
            break;
        case 2:
            reader.u32();
            break;
        default: {
            const std::string text = reader.text();
            check(text.size() < size);
            break;
        }
        }
        check(reader.position() >= before && reader.position() <= size);
    }

    roundTrip<MessageRecord>(data, size, EncodeMessage, DecodeMessage);
    roundTrip<AccountRecord>(data, size, EncodeAccountRecord, DecodeAccountRecord);
    roundTrip<ConsoleOptions>(data, size, EncodeConsoleOptions, DecodeConsoleOptions);
    check((DecodeConsoleOptions(data, size).bits & ~kOptionBitsMask) == 0);
    return 0;
}
