#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "support/controlclient.h"
#include "support/mediaconsole.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor {

class CSendWaveDlg;

namespace voice::testing {

// A console of the media harness with its voice strips.
class VoiceConsole : public e2e::MediaConsole {
public:
    using MediaConsole::MediaConsole;
    CSendWaveDlg* strip(uint32_t peer);
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
    // Logs a (`id` kA) or b (kB) in with its sound devices; `address` is what its presence
    // announces ("real", "none" or "unreachable").
    std::optional<QString> start(uint32_t id, const QString& input, const QString& output,
                                 const char* address = "real");
    // Both consoles online to each other.
    std::optional<QString> waitBothOnline();
    // a asks, b accepts, and both strips run.
    std::optional<QString> talk();
    e2e::ControlClient& control();

    talmor::testing::TempFolder folder;
    e2e::ServerProcess server;
    std::unique_ptr<VoiceConsole> a;
    std::unique_ptr<VoiceConsole> b;

private:
    std::unique_ptr<e2e::ControlClient> control_;
};

} // namespace voice::testing
} // namespace talmor
