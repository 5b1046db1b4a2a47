#include "protocol/sessionrecords.h"

#include "protocol/wirefields.h"

namespace talmor {

namespace {

constexpr std::size_t kRightsBeforeLong = 16;
constexpr std::size_t kRightsBeforeShort = 19;

const auto loginRequestFields = [](auto& r, auto& w) {
    w(r.password)(r.status)(r.constant)(r.localAddress)(r.messagePort)(r.videoCapable);
    w(r.installationId);
};

const auto loginReplyFields = [](auto& r, auto& w) {
    w(r.passwords)(r.result)(r.accountValue)(r.serverValue)(r.requiredVersion);
};

const auto seatRightsFields = [](auto& r, auto& w) {
    for (std::size_t i = 0; i < r.rights.size(); ++i) {
        if (i == kRightsBeforeLong) {
            w(r.longValue);
        } else if (i == kRightsBeforeShort) {
            w(r.shortValue);
        }
        w(r.rights[i]);
    }
};

const auto serverMessageFields = [](auto& m, auto& w) {
    w(m.kind)(m.senderId)(m.sendTime)(m.body);
};

} // namespace

LoginRequest LoginRequest::read(InPacket& in) {
    return readFields<LoginRequest>(in, loginRequestFields);
}

void LoginRequest::write(OutPacket& out) const {
    writeFields(out, *this, loginRequestFields);
}

LoginReply LoginReply::read(InPacket& in) {
    return readFields<LoginReply>(in, loginReplyFields);
}

void LoginReply::write(OutPacket& out) const {
    writeFields(out, *this, loginReplyFields);
}

SeatRights SeatRights::read(InPacket& in) {
    return readFields<SeatRights>(in, seatRightsFields);
}

void SeatRights::write(OutPacket& out) const {
    writeFields(out, *this, seatRightsFields);
}

ServerMessage ServerMessage::read(InPacket& in) {
    return readFields<ServerMessage>(in, serverMessageFields);
}

void ServerMessage::write(OutPacket& out) const {
    writeFields(out, *this, serverMessageFields);
}

} // namespace talmor
