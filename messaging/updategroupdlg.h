#pragma once

#include "messaging/groupnamedlg.h"

namespace talmor {

class PlatformClient;

// "更名联系组": asks for a new name of the group `groupId` (its current name shown) and sends
// the rename request. The group is remembered by id, so groups added or removed meanwhile do
// not turn the request onto another group.
class CUpdateGroupDlg : public GroupNameDlg {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 12;

    CUpdateGroupDlg(QWidget* owner, WindowRegistry& registry, ConsoleUi& ui, PlatformClient& client,
                    uint32_t groupId, const QString& currentName);

    uint32_t groupId() const { return groupId_; }

protected:
    void send(const std::string& name) override;

private:
    PlatformClient& client_;
    uint32_t groupId_;
};

} // namespace talmor
