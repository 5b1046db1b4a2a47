#pragma once

#include "messaging/groupnamedlg.h"

namespace talmor {

class PlatformClient;

// "创建联系组": asks for the name of a new group and sends the create request.
class CCreateGroupDlg : public GroupNameDlg {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 11;

    CCreateGroupDlg(QWidget* owner, WindowRegistry& registry, ConsoleUi& ui,
                    PlatformClient& client);

protected:
    void send(const std::string& name) override;

private:
    PlatformClient& client_;
};

} // namespace talmor
