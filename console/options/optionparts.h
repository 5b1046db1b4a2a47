#pragma once

#include <QObject>

#include <functional>
#include <memory>

#include "console/options/optionservices.h"
#include "kit/eventroutes.h"
#include "kit/soundplayer.h"

namespace talmor {

class CTalmorManagerDlg;
class COptionSheet;

// Runs the options sheet for the main window: the receiver behind OpenOptionsSheet, and the
// menu command 32885 and button 1021. It lives as long as the window, which owns it.
class OptionSheetRunner : public QObject, public OptionsReceiver {
    Q_OBJECT
public:
    explicit OptionSheetRunner(CTalmorManagerDlg& window);
    ~OptionSheetRunner() override;

    void runOptionSheet(QWidget* owner, int page) override;

    // Replace the speaker of 播放 and the file dialog of 浏览 (tests answer in their place).
    void setSoundOutput(std::unique_ptr<SoundOutput> output);
    void setWaveChooser(std::function<QString(QWidget*)> chooser);
    // The sheet while it runs; null otherwise.
    COptionSheet* sheet() const { return sheet_; }

private:
    CTalmorManagerDlg& window_;
    std::unique_ptr<SoundOutput> sounds_;
    OptionServices services_;
    COptionSheet* sheet_ = nullptr;
};

// Puts the options sheet into `window`: its runner becomes routes().options and answers the
// menu command 32885 and button 1021 by opening the sheet on its first page.
void InstallOptionParts(CTalmorManagerDlg& window);

} // namespace talmor
