#include "messaging/updategroupdlg.h"

#include "messaging/contacttexts.h"
#include "protocol/platformclient.h"

namespace talmor {

CUpdateGroupDlg::CUpdateGroupDlg(QWidget* owner, WindowRegistry& registry, ConsoleUi& ui,
                                 PlatformClient& client, uint32_t groupId,
                                 const QString& currentName)
    : GroupNameDlg(owner, registry, kWindowType, ui,
                   {text::kRenameGroupCaption, text::kRenameGroupPrompt, text::kRenameGroupEmpty,
                    text::kRenameGroupSaving},
                   false, currentName),
      client_(client), groupId_(groupId) {}

void CUpdateGroupDlg::send(const std::string& name) {
    key2 = client_.renameGroup(groupId_, name);
}

} // namespace talmor
