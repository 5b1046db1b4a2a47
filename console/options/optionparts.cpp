#include "console/options/optionparts.h"

#include <QFileDialog>

#include "calls/callintake.h"
#include "calls/operatorsafety.h"
#include "console/commandids.h"
#include "console/options/optionsheet.h"
#include "console/options/optiontexts.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "kit/optionsheetentry.h"

namespace talmor {

namespace {

// The operator-safety part of the call intake; none when the window has no call parts.
OperatorSafety* Safety(CTalmorManagerDlg& window) {
    auto* intake = window.routes().intake;
    return intake != nullptr ? &intake->safety() : nullptr;
}

QString ChooseWave(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QString(), QString(),
                                        QString::fromUtf8(text::kWaveFilter));
}

} // namespace

OptionSheetRunner::OptionSheetRunner(CTalmorManagerDlg& window)
    : QObject(&window), window_(window), sounds_(std::make_unique<QtSoundOutput>()),
      services_{window.ui(), [this](int event, const QString& file) { sounds_->play(event, file); },
                ChooseWave,
                [&window] {
                    OperatorSafety* safety = Safety(window);
                    return safety != nullptr ? safety->iniSwitches() : SafetySwitches{};
                }} {}

OptionSheetRunner::~OptionSheetRunner() = default;

void OptionSheetRunner::runOptionSheet(QWidget* owner, int page) {
    COptionSheet sheet(userFolder(), services_, page, owner != nullptr ? owner : &window_);
    sheet_ = &sheet;
    sheet.exec();
    sheet_ = nullptr;
    if (OperatorSafety* safety = Safety(window_);
        safety != nullptr && sheet.result() == QDialog::Accepted) {
        safety->applyStoredSwitches();
    }
}

void OptionSheetRunner::setSoundOutput(std::unique_ptr<SoundOutput> output) {
    sounds_ = std::move(output);
}

void OptionSheetRunner::setWaveChooser(std::function<QString(QWidget*)> chooser) {
    services_.chooseWave = std::move(chooser);
}

void InstallOptionParts(CTalmorManagerDlg& window) {
    auto* runner = new OptionSheetRunner(window);
    window.routes().options = runner;
    for (int command : {cmd::kSystemSettings, cmd::kButtonSettings}) {
        window.setCommandHandler(
            command, [&window] { OpenOptionsSheet(window, &window, OptionPage::System); });
    }
}

} // namespace talmor
