#include "console/options/optionsystemdlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "console/options/optiontexts.h"
#include "console/options/phrasegroup.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"

namespace talmor {

COptionSystemDlg::COptionSystemDlg(const std::string& userFolder,
                                   const storage::SafetySwitches& safetyDefaults, QWidget* parent)
    : COptionPage(userFolder, parent),
      takeHelp_(optionBox(text::kTakeHelpCalls, storage::kOptionTakeHelpCalls)),
      takeSos_(optionBox(text::kTakeSosCalls, storage::kOptionTakeSosCalls)),
      reconnect_(optionBox(text::kAutoReconnect, storage::kOptionAutoReconnect)),
      realert_(new QCheckBox(QString::fromUtf8(text::kRealertSwitch), this)),
      waitingTime_(new QCheckBox(QString::fromUtf8(text::kWaitingTimeSwitch), this)),
      journal_(new QCheckBox(QString::fromUtf8(text::kJournalSwitch), this)),
      autoReplies_(
          new CPhraseGroup(kAutoReplyRule, text::kAutoReplyChoice, text::kAutoReplyEdit, this)),
      quickReplies_(
          new CPhraseGroup(kQuickReplyRule, text::kQuickReplyChoice, text::kQuickReplyEdit, this)) {
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(takeHelp_);
    boxes->addWidget(takeSos_);
    boxes->addWidget(reconnect_);
    boxes->addStretch();
    auto* safety = new QHBoxLayout;
    safety->addWidget(realert_);
    safety->addWidget(waitingTime_);
    safety->addWidget(journal_);
    safety->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addLayout(boxes);
    page->addLayout(safety);
    page->addWidget(autoReplies_);
    page->addWidget(quickReplies_);
    page->addStretch();

    storage::SafetySwitches switches = safetyDefaults;
    storage::LoadSafetySwitches(userFolder_, switches);
    realert_->setChecked(switches.realert);
    waitingTime_->setChecked(switches.waitingTime);
    journal_->setChecked(switches.journal);

    std::vector<std::string> list;
    storage::LoadAutoReplies(userFolder_, list);
    autoReplies_->load(std::move(list), options_.autoReplyText);
    list.clear();
    storage::LoadQuickReplies(userFolder_, list);
    quickReplies_->load(std::move(list), options_.quickReplyText);
}

QString COptionSystemDlg::check() {
    QString refusal = autoReplies_->check();
    if (refusal.isEmpty()) {
        refusal = quickReplies_->check();
    }
    return refusal;
}

void COptionSystemDlg::store() {
    storage::SaveAutoReplies(userFolder_, autoReplies_->phrases());
    storage::SaveQuickReplies(userFolder_, quickReplies_->phrases());
    storage::SaveSafetySwitches(
        userFolder_, {realert_->isChecked(), waitingTime_->isChecked(), journal_->isChecked()});
    const bool help = takeHelp_->isChecked();
    const bool sos = takeSos_->isChecked();
    const bool reconnect = reconnect_->isChecked();
    const std::string autoReply = autoReplies_->currentText();
    const std::string quickReply = quickReplies_->currentText();
    storeOwnFields([&](storage::ConsoleOptions& options) {
        options.setBit(storage::kOptionTakeHelpCalls, help);
        options.setBit(storage::kOptionTakeSosCalls, sos);
        options.setBit(storage::kOptionAutoReconnect, reconnect);
        options.autoReplyText = autoReply;
        options.quickReplyText = quickReply;
    });
}

} // namespace talmor
