#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "messaging/contactlist.h"
#include "protocol/trace.h"

namespace talmor {
namespace {

// The base of the main window stores the records of a contact-list datagram before the list
// files them; these tests do the same.
struct ListFixture {
    ContactStore store;
    ContactList list{store};
    std::vector<uint32_t> filedInDefault;
    std::vector<ContactList::Change> redraws;

    ListFixture() {
        list.setRedraw([this](ContactList::Change change, uint32_t) { redraws.push_back(change); });
    }

    void groups(const std::vector<std::pair<uint32_t, std::string>>& server) {
        std::vector<GroupEntry> entries;
        for (const auto& [id, name] : server) {
            entries.push_back({id, name});
        }
        list.applyGroupList(entries);
    }
    // Contacts as (id, group id).
    void contacts(const std::vector<std::pair<uint32_t, uint32_t>>& server) {
        std::vector<ContactEntry> entries;
        for (const auto& [id, group] : server) {
            ContactEntry entry;
            entry.id = id;
            entry.groupId = group;
            entry.nick = "n" + std::to_string(id);
            entries.push_back(entry);
            store.add(ContactRecord::fromEntry(entry));
        }
        const auto filed = list.applyContactEntries(entries);
        filedInDefault.insert(filedInDefault.end(), filed.begin(), filed.end());
    }
    // The main window stores the new status before the list hears of it.
    void online(uint32_t id, uint32_t status = kStatusOnline) {
        if (ContactRecord* record = store.find(id)) {
            record->status = status;
        }
        list.contactOnline(id, status);
    }
    void status(uint32_t id, uint32_t status) {
        if (ContactRecord* record = store.find(id)) {
            record->status = status;
        }
        list.contactStatus(id, status);
    }

    // "C(0/0) B(1/2: 5+ 4-) A(...)": each group's header, then its members with + online,
    // ~ away, - offline.
    std::string shown() const {
        std::string text;
        for (const ContactGroup& group : list.groups()) {
            text += text.empty() ? "" : " ";
            text += HeaderText(group);
            if (!group.members.empty()) {
                text.insert(text.size() - 1, ":");
                std::string members;
                for (uint32_t id : group.members) {
                    const ContactRecord* record = store.find(id);
                    const char mark = record == nullptr                  ? '?'
                                      : record->status == kStatusOffline ? '-'
                                      : record->status == kStatusAway    ? '~'
                                                                         : '+';
                    members += " " + std::to_string(id) + mark;
                }
                text.insert(text.size() - 1, members);
            }
        }
        return text;
    }
};

struct Sequence {
    const char* name;
    std::function<void(ListFixture&)> steps;
    std::string shown;
};

void PrintTo(const Sequence& sequence, std::ostream* out) {
    *out << sequence.name;
}

class ContactListSequences : public ::testing::TestWithParam<Sequence> {};

TEST_P(ContactListSequences, ShowGroupsMembersAndCounts) {
    ListFixture f;
    GetParam().steps(f);
    EXPECT_EQ(f.shown(), GetParam().shown);
}

// Groups A (1), B (2), C (3) arrive in that order: shown C, B, A; A is the default group.
void ThreeGroups(ListFixture& f) {
    f.groups({{1, "A"}, {2, "B"}, {3, "C"}});
}

INSTANTIATE_TEST_SUITE_P(
    Events, ContactListSequences,
    ::testing::Values(Sequence{"GroupsShownInReverseOrderEmptyHeadersZero", ThreeGroups,
                               "C (0/0) B (0/0) A (0/0)"},
                      Sequence{"RepeatedGroupIdChangesNothing",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.list.addGroup("again", 2);
                               },
                               "C (0/0) B (0/0) A (0/0)"},
                      Sequence{"ContactsFiledInListOrderOfflineCountOnlyInTotal",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}, {12, 3}});
                               },
                               "C (0/1: 12-) B (0/2: 10- 11-) A (0/0)"},
                      Sequence{"GroupZeroGoesToDefaultGroup",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 0}, {11, 3}});
                               },
                               "C (0/1: 11-) B (0/0) A (0/1: 10-)"},
                      Sequence{"UnknownGroupLeavesContactInNoGroup",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 99}});
                               },
                               "C (0/0) B (0/0) A (0/0)"},
                      Sequence{"ContactTwiceKeepsFirstPlace",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {10, 3}});
                                   f.contacts({{10, 1}});
                               },
                               "C (0/0) B (0/1: 10-) A (0/0)"},
                      Sequence{"OnlineJumpsToTopOfflineDropsToBottom",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}, {12, 2}, {13, 2}});
                                   f.online(12);
                                   f.online(13);
                                   f.list.contactOffline(13);
                               },
                               "C (0/0) B (1/4: 12+ 10- 11- 13-) A (0/0)"},
                      Sequence{"BackFromAwayPromotesOtherChangesOnlyCount",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}, {12, 2}});
                                   f.online(10);
                                   f.online(11, kStatusAway);
                                   f.status(10, kStatusAway);   // online -> away: stays
                                   f.status(11, kStatusOnline); // away -> online: to the top
                               },
                               "C (0/0) B (2/3: 11+ 10~ 12-) A (0/0)"},
                      Sequence{"StatusEventForOfflineContactCountsWithoutMoving",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}});
                                   f.status(11, kStatusOnline);
                               },
                               "C (0/0) B (1/2: 10- 11+) A (0/0)"},
                      Sequence{"OtherStatusesAreNoPresence",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}});
                                   f.list.contactOnline(11, kStatusInvisible);
                                   f.list.contactStatus(11, kStatusOffline);
                               },
                               "C (0/0) B (0/2: 10- 11-) A (0/0)"},
                      Sequence{"MoveOnlineToFrontOfflineToEnd",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}, {20, 3}, {21, 3}});
                                   f.online(11);
                                   f.list.moveMember(3, 11);
                                   f.list.moveMember(3, 10);
                               },
                               "C (1/4: 11+ 20- 21- 10-) B (0/0) A (0/0)"},
                      Sequence{"MoveToUnknownGroupOrUnknownContactIgnored",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}});
                                   f.list.moveMember(99, 10);
                                   f.list.moveMember(3, 77);
                               },
                               "C (0/0) B (0/1: 10-) A (0/0)"},
                      Sequence{"DeleteGroupTakesItsMembersRecords",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 3}});
                                   f.list.removeGroup(2);
                                   f.list.moveMember(3, 10); // its record is gone
                               },
                               "C (0/1: 11-) A (0/0)"},
                      Sequence{"DeleteContactRecounts",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}});
                                   f.online(10);
                                   f.list.deleteContact(10);
                               },
                               "C (0/0) B (0/1: 11-) A (0/0)"},
                      Sequence{"AddedContactJoinsDefaultGroupOffline",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 1}});
                                   f.list.addNewContact(42);
                               },
                               "C (0/0) B (0/0) A (0/2: 10- 42-)"},
                      Sequence{"RenameToLongerNameKeepsWholeName",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.list.renameGroup(2, "a much longer group name");
                               },
                               "C (0/0) a much longer group name (0/0) A (0/0)"},
                      Sequence{"LogoutEmptiesTheListAndTheNextLoginFillsIt",
                               [](ListFixture& f) {
                                   ThreeGroups(f);
                                   f.contacts({{10, 2}, {11, 2}});
                                   f.online(11);
                                   f.list.allOffline();
                                   f.groups({{1, "A"}, {3, "C"}});
                                   f.contacts({{10, 3}, {11, 1}});
                               },
                               "C (0/1: 10-) A (0/1: 11-)"}),
    [](const ::testing::TestParamInfo<Sequence>& param) { return std::string(param.param.name); });

TEST(ContactList, DefaultGroupIsLastAndFixedGroupsAreTheLastThree) {
    ListFixture f;
    EXPECT_EQ(f.list.defaultGroup(), -1);
    EXPECT_EQ(f.list.defaultGroupId(), 0u);
    ThreeGroups(f);
    f.list.addGroup("D", 4);
    EXPECT_EQ(f.list.defaultGroupId(), 1u);
    EXPECT_EQ(f.list.indexOfGroup(4), 0);
    EXPECT_EQ(f.list.groupIdAt(3), 1u);
    EXPECT_EQ(f.list.groupIdAt(4), 0u);
    EXPECT_EQ(f.list.groupIdAt(-1), 0u);
    f.contacts({{10, 0}});
    EXPECT_EQ(f.filedInDefault, std::vector<uint32_t>{10});
    EXPECT_EQ(f.list.groupOf(10), 3);
    EXPECT_EQ(f.list.groupOf(11), -1);
}

TEST(ContactList, GroupOverCapacityRefusesTheNextMemberAndSaysSo) {
    ListFixture f;
    ThreeGroups(f);
    std::vector<std::pair<uint32_t, uint32_t>> full;
    for (uint32_t id = 1000; id < 1000 + ContactList::kMaxMembers; ++id) {
        full.push_back({id, 2});
    }
    f.contacts(full);
    std::vector<std::string> traced;
    const TraceSink before = setTraceSink([&](const std::string& line) { traced.push_back(line); });
    f.contacts({{5000, 2}, {5001, 0}});
    f.list.addNewContact(5002);
    f.list.moveMember(2, 5001);
    setTraceSink(before);

    const ContactGroup& group = f.list.groups()[1];
    EXPECT_EQ(group.memberCount(), 200);
    EXPECT_EQ(group.members.back(), 1199u);
    EXPECT_EQ(f.list.groupOf(5000), -1);
    ASSERT_NE(f.store.find(5000), nullptr); // still a contact, shown in no group
    // The refused move leaves the contact in the default group.
    EXPECT_EQ(f.list.groupOf(5001), 2);
    EXPECT_EQ(f.list.groupOf(5002), 2);
    ASSERT_EQ(traced.size(), 2u);
    EXPECT_NE(traced[0].find("group 2 is full, contact 5000"), std::string::npos);
    EXPECT_NE(traced[1].find("contact 5001 stays"), std::string::npos);
}

TEST(ContactList, FiftyGroupsAtMost) {
    ListFixture f;
    for (uint32_t id = 1; id <= 60; ++id) {
        f.list.addGroup("g" + std::to_string(id), id);
    }
    EXPECT_EQ(f.list.groupCount(), 50);
    // The first the server listed stay; the default group is still the first.
    EXPECT_EQ(f.list.defaultGroupId(), 1u);
    EXPECT_EQ(f.list.groupIdAt(0), 50u);
}

TEST(ContactList, OneRedrawPerDatagramAndTextsOnlyForProfiles) {
    ListFixture f;
    ThreeGroups(f);
    EXPECT_EQ(f.redraws, std::vector<ContactList::Change>{ContactList::Change::Rows});
    f.redraws.clear();
    f.contacts({{10, 1}, {11, 2}, {12, 0}});
    EXPECT_EQ(f.redraws, std::vector<ContactList::Change>{ContactList::Change::Rows});
    f.redraws.clear();
    f.list.profileChanged(11);
    f.list.profileChanged(77); // not a contact
    EXPECT_EQ(f.redraws, std::vector<ContactList::Change>{ContactList::Change::Texts});
    f.redraws.clear();
    f.list.contactOnline(77, kStatusOnline);
    f.list.renameGroup(99, "x");
    EXPECT_TRUE(f.redraws.empty());
}

TEST(ContactList, AddedContactIsNamedByItsIdUntilItsProfileComes) {
    ListFixture f;
    ThreeGroups(f);
    EXPECT_TRUE(f.list.addNewContact(4294967295u));
    const ContactRecord* record = f.store.find(4294967295u);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->nick, "4294967295");
    EXPECT_EQ(record->status, kStatusOffline);
    EXPECT_FALSE(f.list.addNewContact(4294967295u));
    EXPECT_FALSE(f.list.addNewContact(0));
}

TEST(ContactList, HeaderTextCountsInUnsignedDecimal) {
    ContactGroup group;
    group.name = "\xcd\xac\xca\xc2"; // 同事 in GBK
    group.members = {1, 2, 3, 4, 5, 6, 7};
    group.onlineCount = 3;
    EXPECT_EQ(HeaderText(group), "\xcd\xac\xca\xc2 (3/7)");
}

} // namespace
} // namespace talmor
