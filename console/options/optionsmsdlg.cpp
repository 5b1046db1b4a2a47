#include "console/options/optionsmsdlg.h"

#include <QVBoxLayout>

#include "console/options/optiontexts.h"
#include "console/options/phrasegroup.h"
#include "storage/textlists.h"

namespace talmor {

COptionSmsDlg::COptionSmsDlg(const std::string& userFolder, QWidget* parent)
    : COptionPage(userFolder, parent),
      smsReplies_(
          new CPhraseGroup(kSmsReplyRule, text::kSmsReplyChoice, text::kSmsReplyEdit, this)) {
    auto* page = new QVBoxLayout(this);
    page->addWidget(smsReplies_);
    page->addStretch();
    std::vector<std::string> list;
    storage::LoadSmsReplies(userFolder_, list);
    smsReplies_->load(std::move(list), options_.smsReplyText);
}

QString COptionSmsDlg::check() {
    return smsReplies_->check();
}

void COptionSmsDlg::store() {
    storage::SaveSmsReplies(userFolder_, smsReplies_->phrases());
    const std::string sms = smsReplies_->currentText();
    storeOwnFields([&](storage::ConsoleOptions& options) { options.smsReplyText = sms; });
}

} // namespace talmor
