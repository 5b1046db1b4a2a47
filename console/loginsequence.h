#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/records.h"

namespace talmor {

class CTalmorManagerDlg;

// The console's side of a login, from the login reply to the ready window: the answers to a
// wrong password, a required update, a foreign account type and a login elsewhere; the
// multiple-login passwords; the progress texts; the completion (status, scope, tabs, counters,
// call lists) and the agreement; and what a lost link does to the window.
class LoginSequence {
public:
    explicit LoginSequence(CTalmorManagerDlg& window) : window_(window) {}

    // The operator's part of a login reply (prompts, messages, the login dialog again) runs
    // once the reply's handler has returned, so that its acknowledgement is not held up by a
    // dialog. An accepted reply then goes on with the listener base (rights requested).
    void loginReply(const std::array<std::string, 4>& passwords, uint16_t result,
                    uint32_t accountValue, uint32_t requiredVersion);
    void ownProfile();
    void groupList();
    // After the contacts are built: everything up to the ready window.
    void complete();
    void loggedInElsewhere();
    void connected(bool up);

private:
    void proceed(const std::array<std::string, 4>& passwords, uint16_t result,
                 uint32_t accountValue, uint32_t requiredVersion);
    // Runs `step` on the event loop, after the handler of the datagram being handled.
    void later(std::function<void()> step);
    void wrongPassword();
    void serverUnreachable();
    void showReconnecting();
    void needsUpgrade();
    void setWaitText(const char* text);
    void destroyWaitWindow();
    void loadOptions();
    void requestFirstData();
    void checkAgreement();

    CTalmorManagerDlg& window_;
};

} // namespace talmor
