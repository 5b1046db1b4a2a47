#include "messaging/creategroupdlg.h"

#include "messaging/contacttexts.h"
#include "protocol/platformclient.h"

namespace talmor {

CCreateGroupDlg::CCreateGroupDlg(QWidget* owner, WindowRegistry& registry, ConsoleUi& ui,
                                 PlatformClient& client)
    : GroupNameDlg(owner, registry, kWindowType, ui,
                   {text::kCreateGroupCaption, text::kCreateGroupPrompt, text::kCreateGroupEmpty,
                    text::kCreateGroupSaving},
                   true, QString()),
      client_(client) {}

void CCreateGroupDlg::send(const std::string& name) {
    key2 = client_.createGroup(name);
}

} // namespace talmor
