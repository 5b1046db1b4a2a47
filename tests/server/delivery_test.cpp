// Chat messages kept for operators whose console cannot take them yet, offers to operators
// who are gone, talks cut by a console leaving, and the address a presence announces.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "protocol/commands.h"
#include "protocol/records.h"
#include "protocol/sessionrecords.h"
#include "server/messagestore.h"
#include "server/presence.h"
#include "server/unansweredport.h"
#include "support/serverharness.h"

namespace talmor::server::testing {
namespace {

void sendChat(FakeConsole& from, uint32_t to, const std::string& text) {
    from.request(CMD_SEND_MESSAGE,
                 [&](OutPacket& out) { out.writeByte(1).writeInt(to).writeString(text); });
}

std::vector<std::string> bodiesTo(const Recorder& recorder, const FakeConsole& console) {
    std::vector<std::string> bodies;
    for (const Sent& sent : recorder.to(console.endpoint(), CMD_SERVER_MESSAGE)) {
        Reader reader(sent);
        bodies.push_back(ServerMessage::read(reader.in()).body);
    }
    return bodies;
}

std::string statePath(const char* name) {
    const std::string path = ::testing::TempDir() + name;
    std::remove(path.c_str());
    std::remove((path + "-wal").c_str());
    std::remove((path + "-shm").c_str());
    return path;
}

using Bodies = std::vector<std::string>;

TEST(ServerKeptMessages, MessagesToAnOfflineOperatorArriveInOrderOnceItsLoginCompletes) {
    for (bool inFile : {false, true}) {
        ServerHarness h;
        if (inFile) {
            std::string error;
            h.server->setMessageStore(openMessageFile(statePath("kept_order.db"), error));
        }
        FakeConsole first = h.console(1024, 4000);
        FakeConsole second = h.console(1025, 4001);
        first.loginToReady(h.recorder);
        sendChat(first, 1025, "one");
        sendChat(first, 1025, "\xC4\xE3\xBA\xC3"); // GBK bytes, kept as they are

        // Logged in but its contact list not delivered yet: still kept.
        second.login();
        sendChat(first, 1025, "three");
        EXPECT_TRUE(bodiesTo(h.recorder, second).empty()) << inFile;
        second.loginToReady(h.recorder);
        EXPECT_EQ(bodiesTo(h.recorder, second), (Bodies{"one", "\xC4\xE3\xBA\xC3", "three"}))
            << inFile;
        sendChat(first, 1025, "four"); // ready: at once, after the kept ones
        EXPECT_EQ(bodiesTo(h.recorder, second).back(), "four");

        // Forgotten only once acknowledged.
        EXPECT_EQ(h.server->messages().waitingFor(1025).size(), 3u) << inFile;
        second.ackAll(h.recorder);
        EXPECT_TRUE(h.server->messages().waitingFor(1025).empty()) << inFile;
    }
}

TEST(ServerKeptMessages, AStateFileKeepsThemAcrossARestartAndNobodyElsesAreKept) {
    const std::string path = statePath("kept_restart.db");
    {
        ServerHarness h;
        std::string error;
        h.server->setMessageStore(openMessageFile(path, error));
        ASSERT_TRUE(error.empty()) << error;
        FakeConsole first = h.console(1024, 4000);
        first.loginToReady(h.recorder);
        sendChat(first, 1025, "before the restart");
        sendChat(first, 999999, "no such operator");
    }
    ServerHarness h;
    std::string error;
    h.server->setMessageStore(openMessageFile(path, error));
    FakeConsole second = h.console(1025, 4001);
    second.loginToReady(h.recorder);
    EXPECT_EQ(bodiesTo(h.recorder, second), Bodies{"before the restart"});
    EXPECT_TRUE(h.server->messages().waitingFor(999999).empty());

    std::string unopened;
    EXPECT_EQ(openMessageFile("/nonexistent-folder/state.db", unopened), nullptr);
    EXPECT_FALSE(unopened.empty());
}

TEST(ServerKeptMessages, OnlyWhoCanLogInGetsMessagesKeptAndEachRecipientOnlySoMany) {
    for (bool inFile : {false, true}) {
        ServerHarness h;
        Account merchant;
        merchant.kind = AccountKind::Merchant;
        merchant.profile.id = 3001;
        merchant.password = "merchant";
        h.directory.add(merchant);
        Account locked;
        locked.kind = AccountKind::Operator;
        locked.profile.id = 1030; // no password: cannot log in
        h.directory.add(locked);
        if (inFile) {
            std::string error;
            h.server->setMessageStore(openMessageFile(statePath("kept_bound.db"), error));
        }
        FakeConsole first = h.console(1024, 4000);
        first.loginToReady(h.recorder);
        struct Case {
            uint32_t recipient;
            std::size_t kept;
        };
        for (const Case& c :
             {Case{1025, 1}, Case{3001, 1}, Case{2001, 0}, Case{1030, 0}, Case{999999, 0}}) {
            sendChat(first, c.recipient, "kept?");
            EXPECT_EQ(h.server->messages().waitingFor(c.recipient).size(), c.kept)
                << c.recipient << (inFile ? " in the file" : " in memory");
        }

        for (std::size_t i = 1; i <= kKeptPerRecipient + 5; ++i) {
            sendChat(first, 1025, "message " + std::to_string(i));
        }
        const auto waiting = h.server->messages().waitingFor(1025);
        ASSERT_EQ(waiting.size(), kKeptPerRecipient) << inFile;
        EXPECT_EQ(waiting.front().message.body, "message 6") << inFile;
        EXPECT_EQ(waiting.back().message.body, "message " + std::to_string(kKeptPerRecipient + 5))
            << inFile;
        EXPECT_EQ(h.server->messages().waitingFor(3001).size(), 1u) << inFile;
    }
}

TEST(ServerKeptMessages, AStateFileIsMadeForItsOwnerAloneAndNeverThroughALink) {
    const std::string path = statePath("kept_mode.db");
    std::string error;
    ASSERT_NE(openMessageFile(path, error), nullptr) << error;
    struct stat made {};
    ASSERT_EQ(::stat(path.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0600u);

    const std::string target = statePath("kept_link_target");
    const std::string link = statePath("kept_link.db");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    std::string refused;
    EXPECT_EQ(openMessageFile(link, refused), nullptr);
    EXPECT_FALSE(refused.empty());
    struct stat followed {};
    EXPECT_NE(::stat(target.c_str(), &followed), 0); // nothing was made where it pointed
    std::remove(link.c_str());
}

TEST(ServerKeptMessages, AMessageNeverAcknowledgedGoesAgainAtTheNextLogin) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    first.loginToReady(h.recorder);
    sendChat(first, 1025, "again");
    {
        FakeConsole second = h.console(1025, 4001);
        second.loginToReady(h.recorder);
        ASSERT_EQ(bodiesTo(h.recorder, second).size(), 1u);
        second.request(CMD_LOGOUT); // gone before acknowledging it
    }
    FakeConsole later = h.console(1025, 4002);
    later.loginToReady(h.recorder);
    EXPECT_EQ(bodiesTo(h.recorder, later), Bodies{"again"});
}

TEST(ServerMediaRelay, RequestsFromSomeoneThePeerDoesNotListGetNoAnswerAndReachNobody) {
    struct Case {
        const char* why;
        uint32_t from;
        uint32_t to;
        bool toOnline;
    };
    for (const Case& c : {Case{"a stranger to an operator online", 1026, 1025, true},
                          Case{"a stranger to an operator gone", 1026, 1025, false},
                          Case{"to someone who does not list the sender", 1024, 1026, true}}) {
        for (uint16_t command = CMD_FILE_OFFER; command <= CMD_VIDEO_RELAY_DATA; ++command) {
            ServerHarness h;
            FakeConsole from = h.console(c.from, 4000);
            from.loginToReady(h.recorder);
            FakeConsole to = h.console(c.to, 4001);
            if (c.toOnline) {
                to.loginToReady(h.recorder);
            }
            h.recorder.sent.clear();
            from.request(command, [&](OutPacket& out) {
                out.writeInt(c.to).writeShort(8010).writeInt(3).writeInt(3).writeBytes("abc", 3);
            });
            for (const Sent& sent : h.recorder.sent) {
                EXPECT_EQ(sent.command(), CMD_ACK) << c.why << " " << command;
            }
        }
    }
}

TEST(ServerMediaCancel, AnOfferOrAcceptanceToAnOperatorWhoIsGoneIsAnsweredWithItsCancel) {
    struct Case {
        uint16_t request;
        uint16_t answer; // 0: none
    };
    for (const Case& c : {Case{CMD_FILE_OFFER, incoming::CMD_FILE_CANCELLED},
                          Case{CMD_FILE_ACCEPT, incoming::CMD_FILE_CANCELLED},
                          Case{CMD_VOICE_OFFER, incoming::CMD_VOICE_CANCELLED},
                          Case{CMD_VOICE_ACCEPT, incoming::CMD_VOICE_CANCELLED},
                          Case{CMD_VIDEO_OFFER, incoming::CMD_VIDEO_CANCELLED},
                          Case{CMD_VIDEO_ACCEPT, incoming::CMD_VIDEO_CANCELLED},
                          Case{CMD_FILE_CANCEL, 0}, Case{CMD_VOICE_RELAY_ASK, 0}}) {
        ServerHarness h;
        FakeConsole first = h.console(1024, 4000);
        first.loginToReady(h.recorder);
        first.request(c.request, [](OutPacket& out) {
            out.writeInt(1025).writeShort(8010).writeInt(10).writeString("f");
        });
        const auto answers = h.recorder.to(first.endpoint(), c.answer);
        if (c.answer == 0) {
            EXPECT_TRUE(h.recorder.to(first.endpoint(), incoming::CMD_FILE_CANCELLED).empty());
            EXPECT_TRUE(h.recorder.to(first.endpoint(), incoming::CMD_VOICE_CANCELLED).empty());
            continue;
        }
        ASSERT_EQ(answers.size(), 1u) << c.request;
        Reader reader(answers[0]);
        EXPECT_EQ(reader.in().u32(), 1025u) << c.request; // the peer who cannot answer
    }
}

TEST(ServerMediaCancel, AConsoleLeavingMidTalkOrTransferCancelsItForItsPeer) {
    struct Case {
        const char* what;
        std::function<void(FakeConsole&, FakeConsole&)> negotiate;
        uint16_t cancel; // what the peer gets, 0 for nothing
    };
    const auto offer = [](uint16_t command) {
        return [command](FakeConsole& from, FakeConsole&) {
            from.request(command, [](OutPacket& out) {
                out.writeInt(1025).writeShort(8010).writeInt(4000).writeString("f");
            });
        };
    };
    const Case cases[] = {
        {"voice accepted",
         [](FakeConsole& a, FakeConsole& b) {
             a.request(CMD_VOICE_OFFER,
                       [](OutPacket& out) { out.writeInt(1025).writeShort(8010); });
             b.request(CMD_VOICE_ACCEPT, [](OutPacket& out) { out.writeInt(1024).writeShort(9); });
         },
         incoming::CMD_VOICE_CANCELLED},
        {"video offered", offer(CMD_VIDEO_OFFER), incoming::CMD_VIDEO_CANCELLED},
        {"file half sent",
         [offer](FakeConsole& a, FakeConsole& b) {
             offer(CMD_FILE_OFFER)(a, b);
             a.request(CMD_FILE_RELAY_DATA, [](OutPacket& out) {
                 out.writeInt(1025).writeInt(1).writeInt(2000).writeByte(0);
             });
         },
         incoming::CMD_FILE_CANCELLED},
        {"file complete",
         [offer](FakeConsole& a, FakeConsole& b) {
             offer(CMD_FILE_OFFER)(a, b);
             a.request(CMD_FILE_RELAY_DATA, [](OutPacket& out) {
                 out.writeInt(1025).writeInt(1).writeInt(4000).writeByte(0);
             });
         },
         0},
        {"voice cancelled",
         [](FakeConsole& a, FakeConsole& b) {
             a.request(CMD_VOICE_OFFER,
                       [](OutPacket& out) { out.writeInt(1025).writeShort(8010); });
             b.request(CMD_VOICE_CANCEL, [](OutPacket& out) { out.writeInt(1024); });
         },
         0},
    };
    for (const Case& c : cases) {
        ServerHarness h;
        FakeConsole first = h.console(1024, 4000);
        FakeConsole second = h.console(1025, 4001);
        first.loginToReady(h.recorder);
        second.loginToReady(h.recorder);
        c.negotiate(first, second);
        first.request(CMD_LOGOUT);
        for (uint16_t code : {incoming::CMD_FILE_CANCELLED, incoming::CMD_VOICE_CANCELLED,
                              incoming::CMD_VIDEO_CANCELLED}) {
            const auto got = h.recorder.to(second.endpoint(), code);
            if (code != c.cancel) {
                EXPECT_TRUE(got.empty()) << c.what << " " << code;
                continue;
            }
            ASSERT_EQ(got.size(), 1u) << c.what;
            Reader reader(got[0]);
            EXPECT_EQ(reader.in().u32(), 1024u) << c.what;
        }
    }
}

TEST(ServerPresence, TheAddressSwitchChangesWhatContactsAreToldOfAnOperator) {
    struct Case {
        AddressMode mode;
        bool altAddress;
        bool unanswered; // peers are sent to the unanswered port instead of the console
    };
    for (const Case& c :
         {Case{AddressMode::Real, true, false}, Case{AddressMode::None, false, false},
          Case{AddressMode::Unreachable, true, true}}) {
        ServerHarness h;
        ASSERT_TRUE(h.server->setAddressMode(1025, c.mode));
        FakeConsole first = h.console(1024, 4000);
        FakeConsole second = h.console(1025, 4001);
        first.loginToReady(h.recorder);
        second.loginToReady(h.recorder);
        const auto arrived = h.recorder.to(first.endpoint(), CMD_CONTACT_ONLINE);
        ASSERT_EQ(arrived.size(), 1u);
        Reader reader(arrived[0]);
        const PresenceEntry entry = PresenceEntry::read(reader.in());
        EXPECT_EQ(entry.altAddress != 0, c.altAddress);
        EXPECT_NE(entry.messagePort, 0);
        // Whatever the mode, a peer is only ever sent to a loopback address.
        EXPECT_EQ(entry.peerAddress >> 24, 127u);
        EXPECT_EQ(entry.peerAddress == UnansweredPort::kAddress, c.unanswered);
        if (c.unanswered) {
            EXPECT_EQ(entry.messagePort, h.server->unansweredPort().port());
        }
    }
}

// A connection attempt to the unanswered port neither completes nor is refused: its SYN is
// dropped, so the connecting side waits out its own attempt, as with a dead link.
TEST(ServerPresence, NobodyAnswersAConnectionToTheUnansweredPort) {
    UnansweredPort port;
    ASSERT_TRUE(port.open());
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(port.address());
    where.sin_port = htons(port.port());
    const int started = ::connect(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where);
    EXPECT_TRUE(started != 0 && errno == EINPROGRESS);
    pollfd entry{fd, POLLOUT, 0};
    // Neither an answer (connected) nor a refusal (reset) within the first retry of a SYN.
    EXPECT_EQ(::poll(&entry, 1, 1500), 0);
    ::close(fd);
}

} // namespace
} // namespace talmor::server::testing
