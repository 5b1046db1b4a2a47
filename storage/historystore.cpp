#include "storage/historystore.h"

#include "storage/datafiles.h"
#include "storage/userdb.h"

namespace talmor::storage {

bool MessageFont::operator==(const MessageFont& other) const {
    return face == other.face && size == other.size && effects == other.effects &&
           colour == other.colour;
}

bool MessageRecord::operator==(const MessageRecord& other) const {
    return kind == other.kind && flags == other.flags && peerId == other.peerId &&
           time == other.time && text == other.text && font == other.font;
}

uint32_t HistoryKey(const MessageRecord& message) {
    return message.kind >= 2 && message.kind <= 5 ? 0 : message.peerId;
}

StoreWriter EncodeMessage(const MessageRecord& message) {
    StoreWriter stream;
    stream.u8(message.kind).u8(message.flags).u32(message.peerId).u32(message.time);
    stream.text(message.text);
    if (message.kind == 0) {
        stream.text(message.font.face)
            .u8(message.font.size)
            .u32(message.font.colour)
            .u8(message.font.effects);
    }
    return stream;
}

MessageRecord DecodeMessage(const uint8_t* data, std::size_t size) {
    StoreReader stream(data, size);
    MessageRecord message;
    message.kind = stream.u8();
    message.flags = stream.u8();
    message.peerId = stream.u32();
    message.time = stream.u32();
    message.text = stream.text();
    if (message.kind == 0) {
        message.font.face = stream.text();
        message.font.size = stream.u8();
        message.font.colour = stream.u32();
        message.font.effects = stream.u8();
    }
    return message;
}

bool AppendHistory(const std::string& userFolder, const MessageRecord& message) {
    UserDB db;
    if (!db.open(JoinPath(userFolder, kHistoryFile))) {
        return false;
    }
    const StoreWriter stream = EncodeMessage(message);
    return db.append(HistoryKey(message), stream.data(), stream.size());
}

bool LoadHistory(const std::string& userFolder, uint32_t peerId, std::vector<MessageRecord>& list,
                 std::size_t maxCount) {
    UserDB db;
    if (!db.open(JoinPath(userFolder, kHistoryFile))) {
        return false;
    }
    std::size_t count = 0;
    const bool walked = db.walk(peerId, [&](const uint8_t* data, std::size_t size) {
        list.push_back(DecodeMessage(data, size));
        ++count;
        return maxCount == 0 || count < maxCount;
    });
    return walked && count > 0;
}

bool DeleteHistory(const std::string& userFolder, uint32_t peerId, std::size_t index) {
    UserDB db;
    return db.open(JoinPath(userFolder, kHistoryFile)) && db.deleteAt(peerId, index);
}

} // namespace talmor::storage
