#pragma once

#include <cstdint>
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

    // True when the reply lets the login go on (the caller then runs the listener base).
    bool loginReply(const std::string* passwords, uint16_t result, uint32_t requiredVersion);
    void ownProfile();
    void groupList();
    // After the contacts are built: everything up to the ready window.
    void complete();
    void loggedInElsewhere();
    void connected(bool up);

private:
    void wrongPassword();
    void needsUpgrade();
    void setWaitText(const char* text);
    void destroyWaitWindow();
    void loadOptions();
    void requestFirstData();
    void checkAgreement();

    CTalmorManagerDlg& window_;
};

} // namespace talmor
