#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/talmormanagerdlg.h"
#include "kit/deployment.h"
#include "support/fakes.h"
#include "support/fakeui.h"
#include "support/qtapp.h"

namespace talmor::testing {

// Answers host lookups only when a test says so.
class PendingResolver : public HostResolver {
public:
    void lookup(const std::string& host, std::function<void(uint32_t)> done) override {
        hosts.push_back(host);
        answers.push_back(std::move(done));
    }
    std::vector<std::string> hosts;
    std::vector<std::function<void(uint32_t)>> answers;
};

// A request the console sent, its body deciphered.
struct Sent {
    uint16_t command = 0;
    uint16_t seq = 0;
    std::vector<uint8_t> body;
};

// The main window on in-memory sockets, fake timers and a fake operator, in an application
// folder of its own; the test plays the server.
class ConsoleHarness {
public:
    // `withBrowser` gives the window its web panes (the test runner turns the sandbox off).
    explicit ConsoleHarness(const Deployment& deployment = Deployment(), bool withBrowser = false);
    ~ConsoleHarness();

    CTalmorManagerDlg& window() { return *window_; }

    // A login of operator 1024 with a password, as from a start URL.
    void startLogin(uint32_t operatorId = 1024, const std::string& password = "pw1024");
    // A server datagram for the console's session; `ackSeq` names the request it answers. The
    // events it leads to are processed before this returns.
    void deliver(uint16_t command, const std::function<void(OutPacket&)>& body,
                 uint16_t ackSeq = 0);
    // Every request sent since the last take, acknowledgements left out.
    std::vector<Sent> takeSent();
    std::vector<uint16_t> takeSentCommands();
    // Acknowledges everything sent so far.
    void acknowledgeAll();

    // The steps of the login as the server plays them.
    void loginReply(uint16_t result = 0, uint32_t version = 50,
                    const std::array<std::string, 4>& passwords = {});
    void rights(const SeatRights& rights);
    void ownProfile(const UserRecord& profile);
    void groups();
    void contacts();
    // The whole login up to the ready window; the requests sent are kept for takeSent.
    void login(const SeatRights& rights = AllRights(), const UserRecord& profile = Operator());

    static SeatRights AllRights();
    static SeatRights OnlyRights(const std::vector<int>& granted);
    // An operator account (type "S") of an area.
    static UserRecord Operator();

    TempFolder folder;
    FakeClock clock;
    FakeRandom random;
    FakeTimers timers;
    MemorySockets sockets;
    PendingResolver resolver;
    FakeUi ui;
    Deployment deployment;

private:
    int socketHandle();

    std::unique_ptr<CTalmorManagerDlg> window_;
    uint16_t serverSeq_ = 100;
    std::size_t taken_ = 0;
};

} // namespace talmor::testing
