#pragma once

#include <cstdint>

namespace talmor {

class CTalmorManagerDlg;

// The operator's status as the console shows and changes it: the status label and the tray
// icon, the four status commands of the tray menu and the away replies. From offline a status
// command starts a login instead of sending anything; choosing the current status sends
// nothing.
class OperatorStatus {
public:
    explicit OperatorStatus(CTalmorManagerDlg& window) : window_(window) {}

    // The label and the tray icon show the current status; the tray stops blinking.
    void show();
    void setOnline();
    void setAway();
    void setInvisible();
    void setOffline();
    // "无回复信息" (32817) or automatic reply n (40000 + n) of the away submenu.
    void awayReply(int command);

private:
    void change(uint32_t status);

    CTalmorManagerDlg& window_;
};

} // namespace talmor
