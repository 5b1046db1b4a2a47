#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "console/qtenvironment.h"
#include "console/talmormanagerdlg.h"
#include "support/controlclient.h"
#include "support/fakeui.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor {

class CSendMsgDlg;
class CSendWaveDlg;
class ChatPart;
class VoicePart;

namespace voice::testing {

// A console of its own in this process: window, event-loop services, operator answers.
struct Console {
    QtEnvironment environment;
    talmor::testing::FakeUi ui;
    std::unique_ptr<CTalmorManagerDlg> window;

    ChatPart& chats();
    VoicePart& voice();
    CSendMsgDlg* chatWith(uint32_t peer);
    CSendWaveDlg* strip(uint32_t peer);
    // The chat display's text without carriage returns; empty when no chat is open.
    QString shown(uint32_t peer);
};

// Operators 1024 (a) and 1025 (b) as two real consoles with the console's parts installed,
// against a quorvane-server of their own. Each step returns what went wrong, if anything.
class TalkPair {
public:
    static constexpr uint32_t kA = 1024;
    static constexpr uint32_t kB = 1025;

    TalkPair();
    ~TalkPair();

    std::optional<QString> startServer(const QString& seed);
    // Logs `console` in as `id` with its sound devices; `address` is what its presence
    // announces ("real", "none" or "unreachable").
    std::optional<QString> start(Console& console, uint32_t id, const QString& input,
                                 const QString& output, const char* address = "real");
    // Both consoles online to each other.
    std::optional<QString> waitBothOnline();
    // a asks, b accepts, and both strips run.
    std::optional<QString> talk();
    e2e::ControlClient& control();

    talmor::testing::TempFolder folder;
    e2e::ServerProcess server;
    Console a;
    Console b;

private:
    std::unique_ptr<e2e::ControlClient> control_;
};

} // namespace voice::testing
} // namespace talmor
