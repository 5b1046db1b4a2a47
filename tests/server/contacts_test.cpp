// Presence between contacts, chat through the server, contact lists that need several
// datagrams, group changes, and the relay of peer media.
#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/records.h"
#include "protocol/sessionrecords.h"
#include "support/serverharness.h"

namespace talmor::server::testing {
namespace {

TEST(ServerPresence, ContactsSeeEachOtherArriveChangeAndLeave) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole second = h.console(1025, 4001);
    first.loginToReady(h.recorder);
    EXPECT_TRUE(h.recorder.to(first.endpoint(), CMD_ONLINE_CONTACTS).empty());

    second.login(2); // away
    second.request(CMD_GET_CONTACTS);
    // Presence follows the delivery of the contact list.
    EXPECT_TRUE(h.recorder.to(second.endpoint(), CMD_ONLINE_CONTACTS).empty());
    second.ackAll(h.recorder);
    const auto online = h.recorder.to(second.endpoint(), CMD_ONLINE_CONTACTS);
    ASSERT_EQ(online.size(), 1u);
    Reader list(online[0]);
    const auto entries = readList<PresenceEntry>(list.in());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, 1024u);
    EXPECT_EQ(entries[0].messagePort, 7001);
    EXPECT_EQ(entries[0].altPort, 4000);

    const auto arrived = h.recorder.to(first.endpoint(), CMD_CONTACT_ONLINE);
    ASSERT_EQ(arrived.size(), 1u);
    Reader arrival(arrived[0]);
    const PresenceEntry entry = PresenceEntry::read(arrival.in());
    EXPECT_EQ(entry.id, 1025u);
    EXPECT_EQ(entry.status, 2u);

    second.request(CMD_SET_STATUS, [](OutPacket& out) { out.writeInt(0); });
    ASSERT_EQ(h.recorder.to(first.endpoint(), CMD_CONTACT_STATUS).size(), 1u);
    second.request(CMD_SET_STATUS, [](OutPacket& out) { out.writeInt(3); }); // invisible
    EXPECT_EQ(h.recorder.to(first.endpoint(), CMD_CONTACT_OFFLINE).size(), 1u);
    second.request(CMD_SET_STATUS, [](OutPacket& out) { out.writeInt(0); });
    EXPECT_EQ(h.recorder.to(first.endpoint(), CMD_CONTACT_ONLINE).size(), 2u);
    second.request(CMD_LOGOUT);
    EXPECT_EQ(h.recorder.to(first.endpoint(), CMD_CONTACT_OFFLINE).size(), 2u);
    EXPECT_EQ(h.server->activeSession(1025), nullptr);
    // Operator 1026 lists nobody and nobody lists it: it heard nothing of this.
}

TEST(ServerChat, AMessageReachesThePeerNamingItsRealSender) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole second = h.console(1025, 4001);
    first.loginToReady(h.recorder);
    second.loginToReady(h.recorder);
    // The header's sender field claims 1026; the session says 1024.
    FakeConsole claiming(*h.server, first.endpoint(), 1026, "pass1024", first.sessionId());
    claiming.numberFrom(500);
    claiming.request(CMD_SEND_MESSAGE, [](OutPacket& out) {
        out.writeByte(1).writeInt(1025).writeString("hello there");
    });
    const auto messages = h.recorder.to(second.endpoint(), CMD_SERVER_MESSAGE);
    ASSERT_EQ(messages.size(), 1u);
    Reader reader(messages[0]);
    const ServerMessage message = ServerMessage::read(reader.in());
    EXPECT_EQ(message.kind, 1);
    EXPECT_EQ(message.senderId, 1024u);
    EXPECT_EQ(message.body, "hello there");
    EXPECT_TRUE(h.recorder.to(first.endpoint(), CMD_SERVER_MESSAGE).empty());
}

TEST(ServerContacts, ALongContactListTravelsInSeveralDatagramsAndPresenceFollowsTheLast) {
    ServerHarness h;
    Account* account = h.directory.find(1024);
    for (uint32_t id = 100000; id < 100300; ++id) {
        Account contact;
        contact.profile.id = id;
        contact.profile.nick = "contact number " + std::to_string(id);
        h.directory.add(contact);
        account->contactOrder.push_back(id);
        account->groupOf[id] = 1;
    }
    FakeConsole second = h.console(1025, 4001);
    second.loginToReady(h.recorder);
    FakeConsole console = h.console(1024, 4000);
    console.login();
    console.request(CMD_GET_CONTACTS);
    const auto lists = h.recorder.to(console.endpoint(), CMD_CONTACT_LIST);
    ASSERT_GT(lists.size(), 1u);
    std::vector<uint32_t> ids;
    for (const Sent& list : lists) {
        EXPECT_LE(list.bytes.size(), kPacketCapacity);
        Reader reader(list);
        for (const ContactEntry& entry : readList<ContactEntry>(reader.in())) {
            ids.push_back(entry.id);
        }
    }
    EXPECT_EQ(ids, account->contactOrder);
    console.ack(lists.front().seq());
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_ONLINE_CONTACTS).empty());
    console.ack(lists.back().seq());
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_ONLINE_CONTACTS).size(), 1u);
}

TEST(ServerContacts, GroupAndContactChangesTouchOnlyTheOperatorsOwnList) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    // Group 3 belongs to 1025.
    console.request(CMD_DELETE_GROUP, [](OutPacket& out) { out.writeInt(3); });
    console.request(CMD_RENAME_GROUP, [](OutPacket& out) { out.writeInt(3).writeString("x"); });
    EXPECT_EQ(h.directory.find(1025)->groups.at(0).name, "friends");
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_GROUP_DELETED).empty());

    console.request(CMD_MOVE_CONTACT, [](OutPacket& out) { out.writeInt(2).writeInt(1025); });
    EXPECT_EQ(h.directory.find(1024)->groupOf.at(1025), 2u);
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_CONTACT_MOVED).size(), 1u);
    // Deleting a group drops the contacts filed in it, as the console does.
    console.request(CMD_DELETE_GROUP, [](OutPacket& out) { out.writeInt(2); });
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_GROUP_DELETED).size(), 1u);
    EXPECT_FALSE(h.directory.find(1024)->hasContact(1025));
    EXPECT_FALSE(h.directory.find(1024)->hasContact(2001));
}

TEST(ServerContacts, AddingAUserAsksTheOtherSideUnlessItListsTheRequesterAlready) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole third = h.console(1026, 4002);
    first.loginToReady(h.recorder);
    third.loginToReady(h.recorder);
    first.request(CMD_ADD_CONTACT, [](OutPacket& out) { out.writeInt(1026).writeInt(0); });
    EXPECT_EQ(h.recorder.to(first.endpoint(), CMD_CONTACT_ADDED).size(), 1u);
    const auto asks = h.recorder.to(third.endpoint(), CMD_ADD_REQUEST);
    ASSERT_EQ(asks.size(), 1u);
    Reader reader(asks[0]);
    EXPECT_EQ(reader.in().u32(), 1024u);
    // The approval adds the requester back; the requester is not asked in turn.
    third.request(CMD_ADD_CONTACT, [](OutPacket& out) { out.writeInt(1024).writeInt(0); });
    EXPECT_EQ(h.recorder.to(third.endpoint(), CMD_CONTACT_ADDED).size(), 1u);
    EXPECT_TRUE(h.recorder.to(first.endpoint(), CMD_ADD_REQUEST).empty());
}

TEST(ServerRelay, MediaReachesThePeerAsTheOtherSideSeesItWithTheDataUnchanged) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole second = h.console(1025, 4001);
    first.loginToReady(h.recorder);
    second.loginToReady(h.recorder);
    Bytes chunk(2041);
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    first.request(CMD_FILE_RELAY_DATA, [&](OutPacket& out) {
        out.writeInt(1025).writeInt(static_cast<uint32_t>(chunk.size())).writeInt(90000);
        out.writeBytes(chunk.data(), chunk.size());
    });
    const auto data = h.recorder.to(second.endpoint(), incoming::CMD_FILE_RELAY_DATA);
    ASSERT_EQ(data.size(), 1u);
    Reader reader(data[0]);
    EXPECT_EQ(reader.in().u32(), 1024u); // the peer is the sender, as the receiver sees it
    EXPECT_EQ(reader.in().u32(), 90000u);
    std::size_t length = 0;
    const uint8_t* received = reader.in().remaining(length);
    EXPECT_EQ(Bytes(received, received + length), chunk); // no cipher padding

    first.request(CMD_FILE_OFFER, [](OutPacket& out) {
        out.writeInt(1025).writeShort(8010).writeInt(123456).writeString("report.doc");
    });
    const auto offers = h.recorder.to(second.endpoint(), incoming::CMD_FILE_OFFER);
    ASSERT_EQ(offers.size(), 1u);
    Reader offer(offers[0]);
    EXPECT_EQ(offer.in().u32(), 1024u);
    EXPECT_EQ(offer.in().u16(), 8010);
    EXPECT_EQ(offer.in().u32(), 123456u);
    EXPECT_EQ(offer.in().text(), "report.doc");
    EXPECT_EQ(offer.in().unread(), 0u);

    // A declared length beyond the data is not relayed.
    first.request(CMD_VOICE_RELAY_DATA,
                  [](OutPacket& out) { out.writeInt(1025).writeInt(500).writeBytes("abc", 3); });
    EXPECT_TRUE(h.recorder.to(second.endpoint(), incoming::CMD_VOICE_RELAY_DATA).empty());
}

} // namespace
} // namespace talmor::server::testing
