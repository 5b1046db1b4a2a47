#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "calls/calljournaldlg.h"
#include "calls/journalrecorder.h"
#include "calls/safetyswitches.h"
#include "calls/waitingboard.h"
#include "protocol/records.h"

namespace talmor {

class CallIntake;
class ColorLabel;
class ConsoleHost;
class DesktopNotifier;

// What keeps a waiting call from going unnoticed, beside the intake's one announcement: the
// alarm of a waiting SOS or help call repeats until the call is taken (its sound, a blinking
// tray icon, a desktop notification while the console is not the active window), the status
// line shows how long the oldest call has waited and each pane row its own wait, and every step
// of every call goes into the operator's handling journal. Each part is switched on the option
// sheet's system page, the INI's [safety] section giving the switches of a first run. The clock is
// injectable, so a test can step through minutes of waiting.
class OperatorSafety : public QObject {
    Q_OBJECT
public:
    // Milliseconds since 1970-01-01 UTC.
    using Clock = std::function<int64_t()>;
    static constexpr int kTickMs = 1000;
    static constexpr int kTrayBlinkMs = 500;
    // The main-menu command that opens the journal window.
    static constexpr int kJournalCommand = 34100;

    OperatorSafety(ConsoleHost& window, CallIntake& intake, SafetySwitches switches);
    ~OperatorSafety() override;

    void setClock(Clock clock);
    void setNotifier(std::unique_ptr<DesktopNotifier> notifier);
    const SafetySwitches& switches() const { return switches_; }
    const WaitingBoard& board() const { return board_; }
    JournalRecorder& journal() { return journal_; }
    ColorLabel& waitingLabel() { return *label_; }
    bool trayBlinking() const { return trayBlink_.isActive(); }
    CCallJournalDlg* journalWindow() const { return journalWindow_; }

    // Steps of a call that the intake sees.
    void callArrived(const CallRecord& call);
    void callsShown(const std::vector<CallRecord>& calls);
    void soundPlayed(const CallRecord& call, int event);
    void callGone(uint32_t callId);
    void callConfirmed(uint32_t callId);
    // The login completed: the operator's switches apply and the journal opens.
    void loggedIn();
    // Switches each part on or off at once.
    void setSwitches(const SafetySwitches& switches);
    // The switches the option sheet stored for the logged-in operator (else the INI's) apply.
    void applyStoredSwitches();
    const SafetySwitches& iniSwitches() const { return iniSwitches_; }

    // One pass (every second): the waiting calls, the alarms due, the status line, the panes'
    // waiting column, the tray; and the journal writes the steps a failure kept waiting.
    void tick();
    // Opens the journal window, or brings the open one forward.
    void openJournalWindow();

private:
    void syncWaiting(int64_t now);
    void showWaiting(int64_t now);
    // Repeats are on and the console is online to take what they repeat for.
    bool alarming() const;
    void realert(const RealertDue& due);
    void setTrayBlinking(bool on);
    void blinkTray();
    void scheduleSync();
    const CallRecord* waitingRecord(uint32_t callId) const;

    ConsoleHost& window_;
    CallIntake& intake_;
    const SafetySwitches iniSwitches_;
    SafetySwitches switches_;
    Clock clock_;
    WaitingBoard board_;
    JournalRecorder journal_;
    std::unique_ptr<DesktopNotifier> notifier_;
    std::vector<uint32_t> notified_;
    // When each waiting call was listed here (its repeats count from then).
    std::unordered_map<uint32_t, int64_t> shownAt_;
    // How often each waiting call's alarm was repeated, for the journal.
    std::unordered_map<uint32_t, int> repeats_;
    ColorLabel* label_;
    QTimer ticker_;
    QTimer trayBlink_;
    bool trayDark_ = false;
    bool syncQueued_ = false;
    bool loggedIn_ = false;
    int64_t lastShownMs_ = 0; // "now" of the waiting times on screen
    QPointer<CCallJournalDlg> journalWindow_;
};

} // namespace talmor
