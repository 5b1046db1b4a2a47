#include "protocol/messagebody.h"

#include <limits>
#include <vector>

namespace talmor {

namespace {

constexpr std::size_t kMaxBodyBytes = kMaxMessageBody - 1;

constexpr std::size_t kFormattedFieldCount = 5;

// The first `count` fields; the ones the body lacks are empty, the ones beyond are ignored.
std::vector<std::string> splitFields(const std::string& body, std::size_t count) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < count && start <= body.size()) {
        std::size_t end = body.find(kMessageFieldSeparator, start);
        if (end == std::string::npos) {
            end = body.size();
        }
        fields.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    fields.resize(count);
    return fields;
}

template <typename T> T parseNumber(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > std::numeric_limits<T>::max()) {
            return 0;
        }
    }
    return static_cast<T>(value);
}

} // namespace

std::string encodeMessageBody(const MessageRecord& message) {
    if (message.kind != kMessageKindFormatted) {
        return message.text.size() <= kMaxBodyBytes ? message.text : std::string();
    }
    const std::string fields[kFormattedFieldCount] = {
        message.text, message.font.face, std::to_string(message.font.size),
        std::to_string(message.font.colour), std::to_string(message.font.effects)};
    std::string body;
    for (std::size_t i = 0; i < kFormattedFieldCount; ++i) {
        const std::size_t separator = i == 0 ? 0 : 1;
        if (body.size() + separator + fields[i].size() > kMaxBodyBytes) {
            break;
        }
        if (separator != 0) {
            body += kMessageFieldSeparator;
        }
        body += fields[i];
    }
    return body;
}

void parseMessageBody(const std::string& body, MessageRecord& message) {
    message.font = MessageFont{};
    if (message.kind != kMessageKindFormatted) {
        message.text = body;
        return;
    }
    std::vector<std::string> fields = splitFields(body, kFormattedFieldCount);
    message.text = std::move(fields[0]);
    message.font.face = std::move(fields[1]);
    message.font.size = parseNumber<uint8_t>(fields[2]);
    message.font.colour = parseNumber<uint32_t>(fields[3]);
    message.font.effects = parseNumber<uint8_t>(fields[4]);
}

MessageRecord buildReceivedMessage(uint8_t kind, uint32_t senderId, uint32_t sendTime,
                                   const std::string& body, bool viaServer) {
    MessageRecord message;
    message.kind = kind;
    message.flags =
        viaServer ? static_cast<uint8_t>(kMessageFromPeer | kMessageViaServer) : kMessageFromPeer;
    message.peerId = senderId;
    message.time = sendTime;
    parseMessageBody(body, message);
    return message;
}

} // namespace talmor
