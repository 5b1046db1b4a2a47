#include "support/clientharness.h"

#include "protocol/commands.h"
#include "protocol/packetcipher.h"

namespace talmor::testing {

ClientHarness::ClientHarness() : listener(sockets, resolver, timers, clock, random) {
    for (const auto& [handle, socket] : sockets.sockets) {
        if (socket.type == SocketType::Datagram) {
            handle_ = handle;
        }
    }
    listener.own().operatorId = kOperatorId;
    listener.own().password = "secret";
}

void ClientHarness::deliver(uint16_t command, const Bytes& bytes, uint16_t seq, uint16_t ackSeq) {
    if (seq == 0) {
        seq = ++serverSeq_;
    }
    OutPacket packet = serverDatagram(client().udpSession().sessionId(), command, seq, ackSeq);
    packet.writeBytes(bytes.data(), bytes.size());
    sockets.deliver(handle_, bytesOf(packet));
}

void ClientHarness::deliver(uint16_t command, const std::function<void(OutPacket&)>& write,
                            uint16_t seq, uint16_t ackSeq) {
    deliver(command, body(write), seq, ackSeq);
}

std::vector<SentRequest> ClientHarness::sent() {
    std::vector<SentRequest> requests;
    MemorySockets::Socket* socket = sockets.find(handle_);
    if (socket == nullptr) {
        return requests;
    }
    PacketCipher cipher;
    cipher.setKeyFromPassword(listener.own().password);
    for (Bytes datagram : socket->sent) {
        InPacket header(datagram.data(), datagram.size());
        SentRequest request;
        request.command = header.command();
        request.seq = header.seq();
        request.senderId = header.senderId();
        request.deciphered = decipherRequest(datagram.data(), datagram.size(), cipher);
        request.body = bodyOf(datagram);
        requests.push_back(std::move(request));
    }
    return requests;
}

std::vector<SentRequest> ClientHarness::takeSent() {
    std::vector<SentRequest> requests = sent();
    if (MemorySockets::Socket* socket = sockets.find(handle_)) {
        socket->sent.clear();
    }
    return requests;
}

std::vector<uint16_t> ClientHarness::takeSentCommands() {
    std::vector<uint16_t> commands;
    for (const SentRequest& request : takeSent()) {
        commands.push_back(request.command);
    }
    return commands;
}

void ClientHarness::acknowledgeAll() {
    for (const SentRequest& request : sent()) {
        if (request.command != CMD_ACK) {
            OutPacket ack =
                serverDatagram(client().udpSession().sessionId(), CMD_ACK, 0, request.seq);
            sockets.deliver(handle_, bytesOf(ack));
        }
    }
}

void ClientHarness::connect(uint32_t status) {
    client().ConnectToServer(status, "127.0.0.1", kServerPort);
}

void ClientHarness::login(uint32_t status) {
    connect(status);
    deliver(CMD_LOGIN_REPLY, [](OutPacket& out) { LoginReply{{}, 0, 0, 0, 50}.write(out); });
    deliver(CMD_SEAT_RIGHTS, [](OutPacket& out) { SeatRights{}.write(out); });
    deliver(CMD_OWN_PROFILE, [](OutPacket& out) {
        UserRecord profile;
        profile.typeCode = "S";
        profile.write(out);
        out.writeByte(0);
    });
    deliver(CMD_GROUP_LIST, [](OutPacket& out) {
        writeList(out, std::vector<GroupEntry>{{1, "g"}});
    });
    deliver(CMD_CONTACT_LIST, [](OutPacket& out) {
        writeList(out, std::vector<ContactEntry>{{7, "", 1, "seven", "", "S", 1},
                                                 {8, "", 1, "eight", "", "B", 2}});
    });
    acknowledgeAll();
    takeSent();
    listener.events.clear();
    listener.eventAckSeqs.clear();
}

Bytes body(const std::function<void(OutPacket&)>& write) {
    OutPacket packet = makeDatagram(0, 0, 0, 0);
    write(packet);
    return bodyOf(bytesOf(packet));
}

uint32_t u32At(const Bytes& bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) {
        return 0;
    }
    return (uint32_t{bytes[offset]} << 24) | (uint32_t{bytes[offset + 1]} << 16) |
           (uint32_t{bytes[offset + 2]} << 8) | bytes[offset + 3];
}

} // namespace talmor::testing
