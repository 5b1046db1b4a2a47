#pragma once

#include "console/options/optionpage.h"

class QCheckBox;

namespace talmor {

class CPhraseGroup;

// "系统设置": which calls are taken in, automatic reconnection, the three operator-safety
// switches (a record of their own in UserOption.db; `safetyDefaults` until one is stored), and
// the automatic and quick replies (AutoReply.dat and QuickReply.dat).
class COptionSystemDlg : public COptionPage {
    Q_OBJECT
public:
    COptionSystemDlg(const std::string& userFolder, const storage::SafetySwitches& safetyDefaults,
                     QWidget* parent);

    QString check() override;
    void store() override;

    QCheckBox* takeHelpCalls() const { return takeHelp_; }
    QCheckBox* takeSosCalls() const { return takeSos_; }
    QCheckBox* autoReconnect() const { return reconnect_; }
    QCheckBox* realert() const { return realert_; }
    QCheckBox* waitingTime() const { return waitingTime_; }
    QCheckBox* journal() const { return journal_; }
    CPhraseGroup& autoReplies() const { return *autoReplies_; }
    CPhraseGroup& quickReplies() const { return *quickReplies_; }

private:
    QCheckBox* takeHelp_;
    QCheckBox* takeSos_;
    QCheckBox* reconnect_;
    QCheckBox* realert_;
    QCheckBox* waitingTime_;
    QCheckBox* journal_;
    CPhraseGroup* autoReplies_;
    CPhraseGroup* quickReplies_;
};

} // namespace talmor
