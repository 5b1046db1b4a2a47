// The contact pane under a large list: 10,000 contacts in 50 groups arrive in contact-list
// datagrams, then 10,000 presence changes (online, away, back, offline). They are played to the
// console's main window on the offscreen platform, shown, through its protocol core to the
// real COutListDlg, one datagram per turn of the event loop; a 1 ms timer measures the longest
// stall of the loop. The same events applied to the bare ContactList, without protocol or view,
// are the reference of the same run. Goal: no stall over 50 ms.
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "eventloopsteps.h"
#include "messaging/contactlist.h"
#include "messaging/messagingparts.h"
#include "protocol/commands.h"
#include "support/consoleharness.h"

namespace talmor {
namespace {

constexpr uint32_t kGroups = 50;
constexpr uint32_t kPerGroup = 200;
constexpr uint32_t kContacts = kGroups * kPerGroup;
constexpr uint32_t kChanges = 10000;
constexpr uint32_t kPerDatagram = 100;
constexpr uint32_t kFirstGroup = 500;
constexpr uint32_t kFirstContact = 100000;

struct Change {
    uint16_t command; // 512 online, 515 status, 513 offline
    uint32_t id;
    uint32_t status;
};

std::vector<GroupEntry> Groups() {
    std::vector<GroupEntry> groups;
    for (uint32_t g = 0; g < kGroups; ++g) {
        groups.push_back({kFirstGroup + g, "group" + std::to_string(g)});
    }
    return groups;
}

std::vector<std::vector<ContactEntry>> ContactDatagrams() {
    std::vector<std::vector<ContactEntry>> datagrams;
    for (uint32_t i = 0; i < kContacts; ++i) {
        if (i % kPerDatagram == 0) {
            datagrams.emplace_back();
        }
        ContactEntry entry;
        entry.id = kFirstContact + i;
        entry.groupId = kFirstGroup + i % kGroups;
        entry.nick = "contact" + std::to_string(i);
        entry.typeCode = "S";
        datagrams.back().push_back(entry);
    }
    return datagrams;
}

// Each change is a valid step from the contact's present status.
std::vector<Change> Changes() {
    std::mt19937 random(7);
    std::vector<uint32_t> status(kContacts, kStatusOffline);
    std::vector<Change> changes;
    for (uint32_t n = 0; n < kChanges; ++n) {
        const uint32_t i = random() % kContacts;
        const uint32_t id = kFirstContact + i;
        const bool second = random() % 2 == 0;
        Change change{};
        if (status[i] == kStatusOffline) {
            change = {CMD_CONTACT_ONLINE, id, second ? kStatusAway : kStatusOnline};
        } else if (second) {
            change = {CMD_CONTACT_OFFLINE, id, kStatusOffline};
        } else {
            change = {CMD_CONTACT_STATUS, id,
                      status[i] == kStatusOnline ? kStatusAway : kStatusOnline};
        }
        status[i] = change.status;
        changes.push_back(change);
    }
    return changes;
}

// The bare model: the records stored as the protocol core does, then the list's reactions.
std::pair<Figures, Figures> RunBare(const std::vector<std::vector<ContactEntry>>& datagrams,
                                    const std::vector<Change>& changes) {
    ContactStore store;
    ContactList list(store);
    list.setRedraw([](ContactList::Change, uint32_t) {});
    list.applyGroupList(Groups());
    QElapsedTimer clock;
    Figures load;
    Figures presence;
    for (const auto& datagram : datagrams) {
        clock.start();
        for (const ContactEntry& entry : datagram) {
            store.add(ContactRecord::fromEntry(entry));
        }
        list.applyContactEntries(datagram);
        const double ms = Ms(clock.nsecsElapsed());
        load.totalMs += ms;
        load.longestMs = std::max(load.longestMs, ms);
    }
    for (const Change& change : changes) {
        clock.start();
        if (ContactRecord* record = store.find(change.id)) {
            record->status = change.status;
        }
        if (change.command == CMD_CONTACT_ONLINE) {
            list.contactOnline(change.id, change.status);
        } else if (change.command == CMD_CONTACT_STATUS) {
            list.contactStatus(change.id, change.status);
        } else {
            list.contactOffline(change.id);
        }
        const double ms = Ms(clock.nsecsElapsed());
        presence.totalMs += ms;
        presence.longestMs = std::max(presence.longestMs, ms);
    }
    return {load, presence};
}

int Run() {
    testing::EnsureApplication();
    const auto datagrams = ContactDatagrams();
    const auto changes = Changes();

    testing::ConsoleHarness h;
    InstallMessagingParts(h.window());
    h.startLogin();
    h.loginReply();
    h.rights(testing::ConsoleHarness::AllRights());
    h.ownProfile(testing::ConsoleHarness::Operator());
    h.deliver(CMD_GROUP_LIST, [](OutPacket& out) { writeList(out, Groups()); });
    h.window().show();
    QCoreApplication::processEvents();

    std::vector<std::function<void()>> loadSteps;
    for (const auto& datagram : datagrams) {
        loadSteps.push_back([&h, &datagram] {
            h.deliver(CMD_CONTACT_LIST, [&](OutPacket& out) { writeList(out, datagram); });
        });
    }
    std::vector<std::function<void()>> presenceSteps;
    for (const Change& change : changes) {
        presenceSteps.push_back([&h, change] {
            h.deliver(change.command, [&](OutPacket& out) {
                if (change.command == CMD_CONTACT_ONLINE) {
                    PresenceEntry entry;
                    entry.id = change.id;
                    entry.status = change.status;
                    entry.write(out);
                } else if (change.command == CMD_CONTACT_STATUS) {
                    out.writeInt(change.id).writeInt(change.status);
                } else {
                    out.writeInt(change.id);
                }
            });
        });
    }
    const Figures consoleLoad = RunInEventLoop(loadSteps);
    const std::size_t held = h.window().contacts().size();
    const Figures consolePresence = RunInEventLoop(presenceSteps);
    const auto [bareLoad, barePresence] = RunBare(datagrams, changes);

    std::printf("contacts held by the console: %zu in %u groups\n", held, kGroups);
    std::printf("load %u contacts in %zu datagrams:\n", kContacts, datagrams.size());
    std::printf("  console pane (protocol, model, shown list): %8.1f ms total, longest "
                "event-loop stall %6.2f ms\n",
                consoleLoad.totalMs, consoleLoad.longestMs);
    std::printf("  bare ContactList (reference):               %8.1f ms total, longest "
                "datagram %6.3f ms\n",
                bareLoad.totalMs, bareLoad.longestMs);
    std::printf("%u presence changes:\n", kChanges);
    std::printf("  console pane (protocol, model, shown list): %8.1f ms total, longest "
                "event-loop stall %6.2f ms\n",
                consolePresence.totalMs, consolePresence.longestMs);
    std::printf("  bare ContactList (reference):               %8.1f ms total, longest "
                "change %6.3f ms\n",
                barePresence.totalMs, barePresence.longestMs);
    const double worst = std::max(consoleLoad.longestMs, consolePresence.longestMs);
    std::printf("goal: no stall over 50 ms: %s (%.2f ms)\n", worst <= 50.0 ? "met" : "MISSED",
                worst);
    return held == kContacts ? 0 : 1;
}

} // namespace
} // namespace talmor

int main() {
    return talmor::Run();
}
