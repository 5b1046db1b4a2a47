#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "console/options/optionservices.h"

class QDialogButtonBox;
class QTabWidget;

namespace talmor {

class COptionPage;
class COptionSmsDlg;
class COptionSoundDlg;
class COptionSystemDlg;

// The console options sheet "系统参数" with its pages 系统设置, 声音设置 and 短信快捷回复 and the
// buttons OK and Cancel. OK checks every page the operator has seen and, only when all of them
// pass, writes their files and options; a refusal is shown in a message box and the sheet stays
// open with nothing written. Cancel writes nothing.
class COptionSheet : public QDialog {
    Q_OBJECT
public:
    // The pages read the options and lists of `userFolder` now; `page` is shown first.
    COptionSheet(const std::string& userFolder, const OptionServices& services, int page,
                 QWidget* owner);

    QTabWidget* tabs() const { return tabs_; }
    COptionSystemDlg& systemPage() const { return *system_; }
    COptionSoundDlg& soundPage() const { return *sound_; }
    COptionSmsDlg& smsPage() const { return *sms_; }
    QDialogButtonBox* buttons() const { return buttons_; }

    // The sheet's OK.
    void confirm();

private:
    const OptionServices& services_;
    QTabWidget* tabs_;
    COptionSystemDlg* system_;
    COptionSoundDlg* sound_;
    COptionSmsDlg* sms_;
    QDialogButtonBox* buttons_;
    std::array<bool, 3> seen_{};
};

} // namespace talmor
