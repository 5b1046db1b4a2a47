#include "support/consoleharness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "kit/appfolders.h"
#include "protocol/commands.h"
#include "protocol/packetcipher.h"
#include "support/wire.h"

namespace talmor::testing {

ConsoleHarness::ConsoleHarness(const Deployment& chosen, bool withBrowser) : deployment(chosen) {
    EnsureApplication();
    setApplicationFolders({folder.path(), folder.path()});
    setUserFolder(std::string());
    window_ = std::make_unique<CTalmorManagerDlg>(
        ConsoleEnvironment{sockets, resolver, timers, clock, random}, deployment, ui, withBrowser);
}

ConsoleHarness::~ConsoleHarness() {
    window_.reset();
}

int ConsoleHarness::socketHandle() {
    int handle = kNoSocket;
    for (const auto& [h, socket] : sockets.sockets) {
        if (socket.type == SocketType::Datagram) {
            handle = h;
        }
    }
    return handle;
}

void ConsoleHarness::startLogin(uint32_t operatorId, const std::string& password) {
    ASSERT_TRUE(window_->StartLogin(operatorId, password));
}

void ConsoleHarness::deliver(uint16_t command, const std::function<void(OutPacket&)>& body,
                             uint16_t ackSeq) {
    OutPacket packet =
        serverDatagram(window_->client().udpSession().sessionId(), command, ++serverSeq_, ackSeq);
    body(packet);
    sockets.deliver(socketHandle(), bytesOf(packet));
    // What the window does once the datagram's handler has returned (dialogs, messages).
    QCoreApplication::processEvents();
}

std::vector<Sent> ConsoleHarness::takeSent() {
    std::vector<Sent> requests;
    MemorySockets::Socket* socket = sockets.find(socketHandle());
    if (socket == nullptr) {
        return requests;
    }
    PacketCipher cipher;
    cipher.setKeyFromPassword(window_->own().password);
    for (std::size_t i = taken_; i < socket->sent.size(); ++i) {
        Bytes datagram = socket->sent[i];
        InPacket header(datagram.data(), datagram.size());
        if (header.command() == CMD_ACK) {
            continue;
        }
        decipherRequest(datagram.data(), datagram.size(), cipher);
        requests.push_back({header.command(), header.seq(), bodyOf(datagram)});
    }
    taken_ = socket->sent.size();
    return requests;
}

std::vector<uint16_t> ConsoleHarness::takeSentCommands() {
    std::vector<uint16_t> commands;
    for (const Sent& request : takeSent()) {
        commands.push_back(request.command);
    }
    return commands;
}

void ConsoleHarness::acknowledgeAll() {
    MemorySockets::Socket* socket = sockets.find(socketHandle());
    if (socket == nullptr) {
        return;
    }
    const std::vector<Bytes> sent = socket->sent;
    for (const Bytes& datagram : sent) {
        InPacket header(datagram.data(), datagram.size());
        if (header.command() != CMD_ACK) {
            OutPacket ack = serverDatagram(window_->client().udpSession().sessionId(), CMD_ACK, 0,
                                           header.seq());
            sockets.deliver(socketHandle(), bytesOf(ack));
        }
    }
}

void ConsoleHarness::loginReply(uint16_t result, uint32_t version,
                                const std::array<std::string, 4>& passwords) {
    deliver(CMD_LOGIN_REPLY, [&](OutPacket& out) {
        LoginReply reply;
        reply.passwords = passwords;
        reply.result = static_cast<uint8_t>(result);
        reply.requiredVersion = version;
        reply.write(out);
    });
}

void ConsoleHarness::rights(const SeatRights& rights) {
    deliver(CMD_SEAT_RIGHTS, [&](OutPacket& out) { rights.write(out); });
}

void ConsoleHarness::ownProfile(const UserRecord& profile) {
    deliver(CMD_OWN_PROFILE, [&](OutPacket& out) {
        profile.write(out);
        out.writeByte(0);
    });
}

void ConsoleHarness::groups() {
    deliver(CMD_GROUP_LIST, [](OutPacket& out) {
        writeList(out, std::vector<GroupEntry>{{101, Gbk("我的好友")}, {102, "g"}});
    });
}

void ConsoleHarness::contacts() {
    deliver(CMD_CONTACT_LIST, [](OutPacket& out) {
        writeList(out, std::vector<ContactEntry>{{1025, "", 101, Gbk("小李"), "", "S", 2},
                                                 {3001, "", 102, "shop", "", "B", 1}});
    });
}

void ConsoleHarness::login(const SeatRights& seatRights, const UserRecord& profile) {
    startLogin();
    loginReply();
    rights(seatRights);
    ownProfile(profile);
    groups();
    contacts();
}

SeatRights ConsoleHarness::AllRights() {
    SeatRights rights;
    rights.rights.fill("Y");
    return rights;
}

SeatRights ConsoleHarness::OnlyRights(const std::vector<int>& granted) {
    SeatRights rights;
    rights.rights.fill("N");
    for (int right : granted) {
        rights.rights[static_cast<std::size_t>(right)] = "Y";
    }
    return rights;
}

UserRecord ConsoleHarness::Operator() {
    UserRecord profile;
    profile.nick = Gbk("值班员小王");
    profile.typeCode = "S";
    profile.province = Gbk("广东省");
    profile.city = Gbk("深圳市");
    profile.district = Gbk("南山区");
    profile.street = Gbk("粤海街道");
    profile.community = Gbk("科技园社区");
    return profile;
}

} // namespace talmor::testing
