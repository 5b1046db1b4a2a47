#include "support/testconsole.h"

#include "protocol/commands.h"

namespace talmor::e2e {

TestConsole::TestConsole(int timeFactor)
    : ConsoleEnvironment(timeFactor, [this](int id) { client().onTimer(id); }),
      ClientListener(sockets, resolver, timers, clock, random) {}

TestConsole::~TestConsole() {
    client().goOffline();
}

void TestConsole::connect(uint32_t operatorId, const std::string& password, uint16_t port,
                          uint32_t status) {
    loginResult.reset();
    loginFailed_ = false;
    own().operatorId = operatorId;
    own().password = password;
    client().ConnectToServer(status, "127.0.0.1", port);
}

bool TestConsole::ready() const {
    // Called after every event while a login runs: the full check only once it can hold.
    if (!contactListReceived || profiles.size() < contacts().records().size()) {
        return false;
    }
    for (const auto& record : contacts().records()) {
        if (profiles.count(record->id) == 0) {
            return false;
        }
    }
    return true;
}

std::size_t TestConsole::requestMissingProfiles() {
    std::size_t asked = 0;
    for (const auto& record : contacts().records()) {
        if (profiles.count(record->id) == 0) {
            client().getUserInfo(record->id);
            ++asked;
        }
    }
    return asked;
}

void TestConsole::OnMessage(MessageRecord message) {
    messages.push_back(std::move(message));
}

void TestConsole::OnContactList(std::vector<ContactEntry> list) {
    for (const ContactEntry& entry : list) {
        contactGroups[entry.id] = entry.groupId;
    }
    ClientListener::OnContactList(std::move(list));
    if (contactListReceived) {
        return; // a long list comes in several datagrams; the panes are filled once
    }
    contactListReceived = true;
    // As the main window does once the login is complete: fill the panes.
    client().getHelpCalls(0);
    client().getSosCalls(0);
    for (int pane = 0; pane < kCategoryPaneCount; ++pane) {
        client().getCategoryCalls(pane, 0);
    }
    client().getServiceCalls(0);
}

void TestConsole::OnLoginReply(const std::string& pw1, const std::string& pw2,
                               const std::string& pw3, const std::string& pw4, uint16_t result,
                               uint32_t accountValue, uint32_t requiredVersion) {
    loginResult = result;
    ClientListener::OnLoginReply(pw1, pw2, pw3, pw4, result, accountValue, requiredVersion);
}

void TestConsole::OnGroupList(std::vector<GroupEntry> list) {
    groups = list;
    ClientListener::OnGroupList(std::move(list));
}

void TestConsole::OnUserInfo(const UserRecord& record) {
    ClientListener::OnUserInfo(record);
    profiles.insert(record.id);
    ++profileAnswers;
}

void TestConsole::OnOwnProfile() {
    ownProfileReceived = true;
    ClientListener::OnOwnProfile();
}

void TestConsole::OnContactOnline(uint32_t id, uint32_t, uint32_t, uint16_t, uint16_t, uint32_t,
                                  bool) {
    onlineContacts.insert(id);
}

void TestConsole::OnContactOffline(uint32_t id) {
    ClientListener::OnContactOffline(id);
    onlineContacts.erase(id);
}

void TestConsole::addCalls(std::vector<CallRecord> calls) {
    for (CallRecord& call : calls) {
        const uint32_t id = call.callId;
        waitingCalls[id] = std::move(call);
    }
}

void TestConsole::OnHelpCalls(std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnSosCalls(std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnCategoryCalls(int, std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnServiceCalls(std::vector<CallRecord> calls) {
    addCalls(std::move(calls));
}

void TestConsole::OnNewCall(CallRecord call) {
    const uint32_t id = call.callId;
    waitingCalls[id] = std::move(call);
}

void TestConsole::OnCallGone(uint32_t callId) {
    waitingCalls.erase(callId);
    goneCalls.push_back(callId);
}

void TestConsole::OnConnected(bool up) {
    if (!up && !ready()) {
        loginFailed_ = true;
    }
}

void TestConsole::OnRequestTimedOut(uint32_t number) {
    ClientListener::OnRequestTimedOut(number);
    if (contactListReceived) {
        ++lateTimeouts_;
    } else {
        // A request of the login chain was abandoned: the chain cannot go on.
        loginFailed_ = true;
    }
}

} // namespace talmor::e2e
