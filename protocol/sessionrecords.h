#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/packet.h"

namespace talmor {

// The bodies of the login exchange, read and written in wire order like the records.

constexpr uint16_t kLoginConstant = 1;

// The console's login request (never enciphered).
struct LoginRequest {
    std::string password;
    uint32_t status = 0; // the status asked for: 0, 2 or 3
    uint16_t constant = kLoginConstant;
    uint32_t localAddress = 0;
    uint16_t messagePort = 0;
    uint16_t videoCapable = 0;
    std::string installationId;

    static LoginRequest read(InPacket& in);
    void write(OutPacket& out) const;
};

constexpr std::size_t kMultiLoginLevels = 4;

// The server's answer to the login request.
struct LoginReply {
    std::array<std::string, kMultiLoginLevels> passwords; // multiple-login passwords 1 to 4
    uint8_t result = 0;                                   // 0 = account and password accepted
    uint32_t accountValue = 0;
    uint32_t serverValue = 0;
    uint32_t requiredVersion = 0;

    static LoginReply read(InPacket& in);
    void write(OutPacket& out) const;
};

constexpr std::size_t kSeatRightCount = 50;

// The seat rights: fifty texts, a right being granted when its text is "Y". On the wire the
// u32 follows right 15 and the u16 follows right 18.
struct SeatRights {
    std::array<std::string, kSeatRightCount> rights;
    uint32_t longValue = 0;
    uint16_t shortValue = 0;

    bool granted(std::size_t index) const { return index < rights.size() && rights[index] == "Y"; }
    static SeatRights read(InPacket& in);
    void write(OutPacket& out) const;
};

// A chat message delivered through the server.
struct ServerMessage {
    uint8_t kind = 0;
    uint32_t senderId = 0;
    uint32_t sendTime = 0;
    std::string body;

    static ServerMessage read(InPacket& in);
    void write(OutPacket& out) const;
};

} // namespace talmor
