#include "console/options/optionsheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "console/options/optionsmsdlg.h"
#include "console/options/optionsounddlg.h"
#include "console/options/optionsystemdlg.h"
#include "console/options/optiontexts.h"
#include "kit/artwork.h"
#include "kit/consoleui.h"
#include "kit/texts.h"

namespace talmor {

COptionSheet::COptionSheet(const std::string& userFolder, const OptionServices& services, int page,
                           QWidget* owner)
    : QDialog(owner), services_(services), tabs_(new QTabWidget(this)),
      system_(new COptionSystemDlg(
          userFolder,
          services.safetyDefaults ? services.safetyDefaults() : storage::SafetySwitches{}, tabs_)),
      sound_(new COptionSoundDlg(userFolder, services, tabs_)),
      sms_(new COptionSmsDlg(userFolder, tabs_)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QString::fromUtf8(text::kOptionSheetCaption));
    setWindowIcon(art::AppIcon());
    tabs_->addTab(system_, QString::fromUtf8(text::kSystemPageTitle));
    tabs_->addTab(sound_, QString::fromUtf8(text::kSoundPageTitle));
    tabs_->addTab(sms_, QString::fromUtf8(text::kSmsPageTitle));
    buttons_->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(text::kOk));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(text::kCancel));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    // 242 dialog units wide, about as high as the highest page.
    resize(420, 400);

    connect(tabs_, &QTabWidget::currentChanged, this, [this](int shown) {
        if (shown >= 0 && shown < static_cast<int>(seen_.size())) {
            seen_[static_cast<std::size_t>(shown)] = true;
        }
    });
    tabs_->setCurrentIndex(page >= 0 && page < tabs_->count() ? page : 0);
    seen_[static_cast<std::size_t>(tabs_->currentIndex())] = true;
    connect(buttons_, &QDialogButtonBox::accepted, this, &COptionSheet::confirm);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void COptionSheet::confirm() {
    const std::array<COptionPage*, 3> pages = {system_, sound_, sms_};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (!seen_[i]) {
            continue;
        }
        const QString refusal = pages[i]->check();
        if (!refusal.isEmpty()) {
            tabs_->setCurrentIndex(static_cast<int>(i));
            services_.ui.error(this, refusal);
            return;
        }
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (seen_[i]) {
            pages[i]->store();
        }
    }
    accept();
}

} // namespace talmor
