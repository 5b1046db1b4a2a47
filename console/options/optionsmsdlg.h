#pragma once

#include "console/options/optionpage.h"

namespace talmor {

class CPhraseGroup;

// "短信快捷回复": the SMS texts of the family SMS window (SmsReply.dat).
class COptionSmsDlg : public COptionPage {
    Q_OBJECT
public:
    COptionSmsDlg(const std::string& userFolder, QWidget* parent);

    QString check() override;
    void store() override;

    CPhraseGroup& smsReplies() const { return *smsReplies_; }

private:
    CPhraseGroup* smsReplies_;
};

} // namespace talmor
