#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/registeredwindow.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::body;
using testing::ClientHarness;

constexpr uint32_t kSearchWindow = 30;
constexpr uint32_t kChatWindow = 6;

// A window that notes what reached it.
class NoteWindow : public RegisteredWindow {
public:
    using RegisteredWindow::RegisteredWindow;
    void onAcked(uint32_t number) override { notes.push_back("acked " + std::to_string(number)); }
    void onTimedOut(uint32_t number) override {
        notes.push_back("timed out " + std::to_string(number));
    }
    std::vector<std::string> notes;
};

TEST(WindowRegistry, FindsByTypeAndKeysWithZeroMeaningAny) {
    WindowRegistry registry;
    NoteWindow chat7(registry, kChatWindow, 7, 0);
    NoteWindow chat8(registry, kChatWindow, 8, 100);
    NoteWindow search(registry, kSearchWindow, 0, 100);
    EXPECT_EQ(registry.findWindow(kChatWindow, 0, 0), &chat7);
    EXPECT_EQ(registry.findWindow(kChatWindow, 8, 0), &chat8);
    EXPECT_EQ(registry.findWindow(kChatWindow, 0, 100), &chat8);
    EXPECT_EQ(registry.findWindow(kSearchWindow, 0, 100), &search);
    EXPECT_EQ(registry.findWindow(kSearchWindow, 5, 100), nullptr);
    EXPECT_EQ(registry.findWindow(kChatWindow, 7, 100), nullptr);
    EXPECT_EQ(registry.findWindow(99, 0, 0), nullptr);
}

TEST(WindowRegistry, WindowsLeaveWhenDestroyed) {
    WindowRegistry registry;
    auto first = std::make_unique<NoteWindow>(registry, kChatWindow, 7, 0);
    NoteWindow second(registry, kChatWindow, 7, 0);
    EXPECT_EQ(registry.findWindow(kChatWindow, 7, 0), first.get());
    first.reset();
    EXPECT_EQ(registry.findWindow(kChatWindow, 7, 0), &second);
    EXPECT_EQ(registry.size(), 1u);
}

TEST(WindowRegistry, WindowMayOutliveItsRegistry) {
    auto registry = std::make_unique<WindowRegistry>();
    NoteWindow window(*registry, kChatWindow, 7, 0);
    registry.reset();
    EXPECT_EQ(window.key, 7u); // its destructor must not reach the freed registry
}

// Acknowledgements and time-outs go to the first window waiting for that number, and to
// nobody when no window waits for it.
TEST(Listener, AcksAndTimeOutsReachOnlyTheWaitingWindow) {
    ClientHarness h;
    h.login();
    NoteWindow first(h.listener.windows(), kChatWindow, 7, h.client().sendMessage(0, 7, "a"));
    NoteWindow second(h.listener.windows(), kChatWindow, 8, h.client().sendMessage(0, 8, "b"));

    h.takeSent();
    // A pure acknowledgement of the second request (seq 0 in the header).
    OutPacket ack = testing::serverDatagram(h.client().udpSession().sessionId(), CMD_ACK, 0,
                                            static_cast<uint16_t>(second.key2));
    h.sockets.deliver(h.socketHandle(), testing::bytesOf(ack));
    EXPECT_TRUE(first.notes.empty());
    EXPECT_EQ(second.notes, std::vector<std::string>{"acked " + std::to_string(second.key2)});

    h.listener.OnRequestTimedOut(first.key2);
    EXPECT_EQ(first.notes, std::vector<std::string>{"timed out " + std::to_string(first.key2)});
    h.listener.OnRequestTimedOut(12345);
    h.listener.OnRequestAcked(12345);
    EXPECT_EQ(first.notes.size(), 1u);
    EXPECT_EQ(second.notes.size(), 1u);
}

// Two search windows of the same type: each reply finds the window whose request it answers
// by the datagram's ackSeq.
TEST(Listener, RepliesFindTheirWindowByAckSeq) {
    ClientHarness h;
    h.login();
    NoteWindow first(h.listener.windows(), kSearchWindow, 0, h.client().searchUsers({}));
    NoteWindow second(h.listener.windows(), kSearchWindow, 0, h.client().searchUsers({}));
    ASSERT_NE(first.key2, second.key2);
    const auto result = [](uint32_t id) {
        return body([id](OutPacket& out) {
            writeList(out, std::vector<SearchEntryA>{SearchEntryA{id, 1, "", "", 0, 0, ""}});
        });
    };
    h.deliver(CMD_SEARCH_RESULT_A, result(2), 0, static_cast<uint16_t>(second.key2));
    h.deliver(CMD_SEARCH_RESULT_A, result(1), 0, static_cast<uint16_t>(first.key2));
    ASSERT_EQ(h.listener.events.size(), 2u);
    EXPECT_EQ(h.listener.events[0], "OnSearchResultA([2])");
    EXPECT_EQ(h.listener.findWindow(kSearchWindow, 0, h.listener.eventAckSeqs[0]), &second);
    EXPECT_EQ(h.listener.events[1], "OnSearchResultA([1])");
    EXPECT_EQ(h.listener.findWindow(kSearchWindow, 0, h.listener.eventAckSeqs[1]), &first);
}

TEST(Listener, FindUserRecordGivesOwnProfileContactsOrNone) {
    ClientHarness h;
    h.login();
    EXPECT_EQ(h.listener.FindUserRecord(0), &h.listener.own().record);
    ASSERT_NE(h.listener.FindUserRecord(7), nullptr);
    EXPECT_EQ(h.listener.FindUserRecord(7)->nick, "seven");
    EXPECT_EQ(h.listener.FindUserRecord(9), nullptr);
}

TEST(Listener, UserInfoRefreshesTheProfileButNotTheArea) {
    ClientHarness h;
    h.login();
    ContactRecord* contact = h.listener.contacts().find(7);
    contact->city = "kept";
    contact->status = kStatusAway;
    UserRecord info;
    info.nick = "new nick";
    info.typeCode = "B";
    info.age = 30;
    info.sex = 2;
    info.profileText[7] = "p8";
    info.pictureIndex = 5;
    info.city = "ignored";
    info.scopeId = 9;
    info.extraText = "extra";
    h.deliver(CMD_USER_INFO, body([&](OutPacket& out) { info.write(out.writeInt(7)); }));
    EXPECT_EQ(contact->nick, "new nick");
    EXPECT_EQ(contact->typeCode, "B");
    EXPECT_EQ(contact->age, 30);
    EXPECT_EQ(contact->sex, 2);
    EXPECT_EQ(contact->profileText[7], "p8");
    EXPECT_EQ(contact->pictureIndex, 5u);
    EXPECT_EQ(contact->extraText, "extra");
    EXPECT_EQ(contact->city, "kept");
    EXPECT_EQ(contact->scopeId, 0u);
    EXPECT_EQ(contact->status, kStatusAway);
}

TEST(Listener, UserInfoForAStrangerChangesNothing) {
    ClientHarness h;
    h.login();
    UserRecord info;
    info.nick = "stranger";
    h.deliver(CMD_USER_INFO, body([&](OutPacket& out) { info.write(out.writeInt(99)); }));
    EXPECT_EQ(h.listener.contacts().size(), 2u);
    EXPECT_EQ(h.listener.contacts().find(99), nullptr);
    EXPECT_EQ(h.listener.contacts().find(7)->nick, "seven");
    EXPECT_EQ(h.listener.contacts().find(8)->nick, "eight");
    EXPECT_EQ(h.listener.own().record.nick, "");
}

TEST(Listener, ServerMessageArrivesMarkedAsDeliveredThroughTheServer) {
    ClientHarness h;
    h.deliver(CMD_SERVER_MESSAGE, body([](OutPacket& out) {
                  out.writeByte(0)
                      .writeInt(7)
                      .writeInt(1700000000)
                      .writeString("hello\xFFSong\xFF"
                                   "12\xFF"
                                   "255\xFF"
                                   "1");
              }));
    const MessageRecord& m = h.listener.lastMessage;
    EXPECT_EQ(m.kind, 0);
    EXPECT_EQ(m.flags, kMessageFromPeer | kMessageViaServer);
    EXPECT_EQ(m.peerId, 7u);
    EXPECT_EQ(m.time, 1700000000u);
    EXPECT_EQ(m.text, "hello");
    EXPECT_EQ(m.font.face, "Song");
    EXPECT_EQ(m.font.size, 12);
    EXPECT_EQ(m.font.colour, 255u);
    EXPECT_EQ(m.font.effects, 1);
}

TEST(ContactStore, KeepsOneRecordPerIdInArrivalOrder) {
    ContactStore store;
    ContactRecord a;
    a.id = 5;
    ContactRecord b;
    b.id = 3;
    ContactRecord zero;
    ASSERT_NE(store.add(a), nullptr);
    ASSERT_NE(store.add(b), nullptr);
    EXPECT_EQ(store.add(a), nullptr);
    EXPECT_EQ(store.add(zero), nullptr);
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(store.records()[0]->id, 5u);
    EXPECT_EQ(store.records()[1]->id, 3u);
    const ContactRecord* held = store.find(3);
    EXPECT_TRUE(store.remove(5));
    EXPECT_FALSE(store.remove(5));
    EXPECT_EQ(store.find(5), nullptr);
    EXPECT_EQ(store.find(3), held); // records stay where they are
}

} // namespace
} // namespace talmor
