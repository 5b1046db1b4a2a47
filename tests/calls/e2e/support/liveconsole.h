#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/qtenvironment.h"
#include "kit/deployment.h"
#include "support/fakeui.h"

namespace talmor {
class CTalmorManagerDlg;
class CallIntake;
} // namespace talmor

namespace talmor::e2e {

// The console's main window with its call panes, in this process on real Qt sockets and timers,
// logged in to a real quorvane-server. A fake operator answers its message boxes; its sounds
// are recorded instead of played.
class LiveConsole {
public:
    // `withBrowser` gives the work pane its browser engine (for tests of back-office pages).
    LiveConsole(uint16_t udpPort, uint16_t httpPort, bool withBrowser = false);
    ~LiveConsole();

    // Starts the login; ready() tells when the window is up.
    void login(uint32_t operatorId, const std::string& password);
    bool ready() const;

    CTalmorManagerDlg& window() { return *window_; }
    CallIntake& intake() { return *intake_; }
    // The sound events played, in order.
    const std::vector<int>& sounds() const { return *sounds_; }
    testing::FakeUi ui;

private:
    QtEnvironment environment_;
    Deployment deployment_;
    std::shared_ptr<std::vector<int>> sounds_;
    std::unique_ptr<CTalmorManagerDlg> window_;
    CallIntake* intake_ = nullptr;
};

// One application folder for the consoles of this process.
void UseTemporaryApplicationFolder();

} // namespace talmor::e2e
