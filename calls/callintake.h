#pragma once

#include <QObject>
#include <QPointer>

#include <array>
#include <memory>

#include "kit/categories.h"
#include "kit/eventroutes.h"
#include "kit/soundplayer.h"

namespace talmor {

class CCallPane;
class ConsoleSounds;
class OperatorSafety;
class CServiceMsgBox;
class CWarnDlg;
class ConsoleHost;

// The console's receiver of waiting calls: the intake of new calls (scope, rights, options,
// sound, tab, row, message box), the lists of the 27 panes, withdrawn calls, the call sounds and
// the reminder window. It lives as long as the main window, which owns it.
class CallIntake : public QObject, public CallReceiver {
    Q_OBJECT
public:
    // The call sounds play on the console's `sounds`.
    CallIntake(ConsoleHost& window, ConsoleSounds& sounds);
    ~CallIntake() override;

    CCallPane& pane(int code) const { return *panes_[static_cast<std::size_t>(code)]; }
    // Re-alerting, waiting times and the handling journal.
    OperatorSafety& safety() const { return *safety_; }
    // Replaces where the sounds go (tests record them).
    void setSoundOutput(std::unique_ptr<SoundOutput> output);

    void onCallList(int list, std::vector<CallRecord> calls) override;
    void onNewCall(CallRecord call) override;
    void onCallGone(uint32_t callId) override;
    void onCallMemoSaved(uint32_t callId) override;
    void onListsRequested() override;
    void onReminderDue() override;
    int rowCount(int code) const override;
    void playSoundEvent(int event);

private:
    void openMessageBox(const CallRecord& call, int category);

    ConsoleHost& window_;
    std::array<CCallPane*, kCategoryCount> panes_{};
    OperatorSafety* safety_ = nullptr;
    ConsoleSounds& sounds_;
    QPointer<CServiceMsgBox> box_;
    QPointer<CWarnDlg> warning_;
};

} // namespace talmor
