#include "calls/operatorsafety.h"

#include <QDateTime>
#include <QEvent>

#include <algorithm>

#include "calls/callcolumns.h"
#include "calls/callintake.h"
#include "calls/calljournaldlg.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/desktopnotifier.h"
#include "calls/journaltexts.h"
#include "calls/rowimages.h"
#include "calls/safetyswitches.h"
#include "kit/appfolders.h"
#include "kit/artwork.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "protocol/ownprofile.h"
#include "protocol/platformclient.h"
#include "storage/consoleoptions.h"
#include "widgets/colorlabel.h"

namespace talmor {

namespace {

const QColor kLineBackground(213, 226, 241);
const QColor kCalmText(21, 66, 139);
const QColor kAmber(255, 176, 0);
const QColor kRed(204, 0, 0);
constexpr int kLabelGap = 10;
// Sound events "求助报警" and "求救报警", and the SOS row image the tray blinks with.
constexpr int kHelpSoundEvent = 1;
constexpr int kSosSoundEvent = 2;
constexpr int kSosRowImage = 1;
constexpr int kLabelWidth = 260;

// When a listed call began to wait: its call time, unless that lies ahead of the console's
// clock (the server's clock runs ahead) or is missing.
int64_t WaitingSince(const CallRecord& call, int64_t nowMs) {
    const int64_t called = int64_t{call.callTime} * 1000;
    return call.callTime == 0 ? nowMs : std::min(called, nowMs);
}

// Filters the provider label's moves, so that the waiting label stays beside it.
class FollowRight : public QObject {
public:
    FollowRight(QWidget& leader, QWidget& follower)
        : QObject(&follower), leader_(leader), follower_(follower) {
        leader.installEventFilter(this);
        place();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &leader_ &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            place();
        }
        return false;
    }

private:
    void place() {
        const QRect leader = leader_.geometry();
        follower_.setGeometry(leader.right() + 1 + kLabelGap, leader.top(), kLabelWidth,
                              leader.height());
    }
    QWidget& leader_;
    QWidget& follower_;
};

} // namespace

OperatorSafety::OperatorSafety(ConsoleHost& window, CallIntake& intake, SafetySwitches switches)
    : QObject(&intake), window_(window), intake_(intake), iniSwitches_(switches),
      clock_([] { return QDateTime::currentMSecsSinceEpoch(); }),
      journal_([this] { return clock_(); }), notifier_(std::make_unique<FreedesktopNotifier>()),
      label_(new ColorLabel(kCalmText, kLineBackground, window.providerCount().parentWidget())) {
    label_->setObjectName("waitingLabel");
    label_->setAlignment(Qt::AlignCenter);
    label_->hide();
    new FollowRight(window.providerCount(), *label_);
    window.setStatusExtra(label_);

    journal_.setFailureHandler([this](bool) { showWaiting(clock_()); });
    journal_.setBatchScheduler(
        [this] { QTimer::singleShot(0, this, [this] { journal_.commitWaiting(); }); });
    window.client().setCallRequestObserver(&journal_);
    window.addMenuCommand(QString::fromUtf8("系统(&C)"), kJournalCommand,
                          QString::fromUtf8("呼叫处理日志"), true, [this] { openJournalWindow(); });
    for (int code = 0; code < static_cast<int>(kCategoryCount); ++code) {
        CallListModel& model = intake.pane(code).model();
        connect(&model, &QAbstractItemModel::rowsInserted, this, &OperatorSafety::scheduleSync);
        connect(&model, &QAbstractItemModel::rowsRemoved, this, &OperatorSafety::scheduleSync);
        connect(&model, &QAbstractItemModel::modelReset, this, &OperatorSafety::scheduleSync);
    }
    setSwitches(switches);
    connect(&ticker_, &QTimer::timeout, this, &OperatorSafety::tick);
    ticker_.start(kTickMs);
    connect(&trayBlink_, &QTimer::timeout, this, &OperatorSafety::blinkTray);
}

OperatorSafety::~OperatorSafety() = default;

void OperatorSafety::setClock(Clock clock) {
    clock_ = std::move(clock);
}

void OperatorSafety::setNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    notifier_ = std::move(notifier);
}

void OperatorSafety::callArrived(const CallRecord& call) {
    journal_.record(storage::JournalStep::Arrived, call);
}

void OperatorSafety::callsShown(const std::vector<CallRecord>& calls) {
    const int64_t now = clock_();
    for (const CallRecord& call : calls) {
        shownAt_.emplace(call.callId, now);
        journal_.record(storage::JournalStep::Shown, call);
    }
}

void OperatorSafety::soundPlayed(const CallRecord& call, int event) {
    if (window_.options().bit(storage::kOptionSoundsOn)) {
        journal_.record(storage::JournalStep::SoundPlayed, call, AlarmDetail(event, 0));
    }
}

void OperatorSafety::callGone(uint32_t callId) {
    if (waitingRecord(callId) == nullptr) {
        return; // never listed here, or already taken by this operator
    }
    journal_.record(storage::JournalStep::Withdrawn, callId);
}

void OperatorSafety::callConfirmed(uint32_t callId) {
    journal_.record(storage::JournalStep::Confirmed, callId);
}

void OperatorSafety::loggedIn() {
    loggedIn_ = true;
    setSwitches(OperatorSwitches(userFolder(), iniSwitches_));
}

void OperatorSafety::applyStoredSwitches() {
    if (loggedIn_) {
        setSwitches(OperatorSwitches(userFolder(), iniSwitches_));
    }
}

void OperatorSafety::setSwitches(const SafetySwitches& switches) {
    switches_ = switches;
    for (int code = 0; code < static_cast<int>(kCategoryCount); ++code) {
        CallListModel::WaitingSource source;
        if (switches.waitingTime) {
            source = [this](uint32_t callId) { return board_.waitedSeconds(callId, lastShownMs_); };
        }
        intake_.pane(code).model().setWaitingSource(std::move(source));
    }
    journal_.setEnabled(switches.journal);
    if (switches.journal && loggedIn_) {
        journal_.open(userFolder());
    }
    window_.setMenuCommandVisible(kJournalCommand, switches.journal);
    if (!switches.realert) {
        // What the repeats started stops with them.
        setTrayBlinking(false);
        for (uint32_t callId : notified_) {
            notifier_->withdraw(callId);
        }
        notified_.clear();
    }
    showWaiting(clock_());
}

const CallRecord* OperatorSafety::waitingRecord(uint32_t callId) const {
    for (int code = 0; code < static_cast<int>(kCategoryCount); ++code) {
        const CallListModel& model = intake_.pane(code).model();
        const int row = model.rowOf(callId);
        if (row >= 0) {
            return &model.record(row);
        }
    }
    return nullptr;
}

void OperatorSafety::scheduleSync() {
    if (syncQueued_) {
        return;
    }
    // Once per turn of the event loop, however many rows a storm appends in it.
    syncQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        syncQueued_ = false;
        const int64_t now = clock_();
        syncWaiting(now);
        showWaiting(now);
    });
}

void OperatorSafety::syncWaiting(int64_t now) {
    std::vector<WaitingCall> waiting;
    for (int code = 0; code < static_cast<int>(kCategoryCount); ++code) {
        const CallListModel& model = intake_.pane(code).model();
        for (int row = 0; row < model.size(); ++row) {
            const CallRecord& call = model.record(row);
            const auto shown = shownAt_.find(call.callId);
            waiting.push_back({call.callId, code, WaitingSince(call, now),
                               shown == shownAt_.end() ? 0 : shown->second});
        }
    }
    board_.sync(waiting, now);
    // Only the calls still waiting keep their moment.
    std::unordered_map<uint32_t, int64_t> stillShown;
    for (const WaitingCall& call : waiting) {
        if (call.shownMs != 0) {
            stillShown.emplace(call.callId, call.shownMs);
        }
    }
    shownAt_.swap(stillShown);
    for (auto each = repeats_.begin(); each != repeats_.end();) {
        each = board_.waitedSeconds(each->first, 0) >= 0 ? std::next(each) : repeats_.erase(each);
    }
    const auto gone =
        std::stable_partition(notified_.begin(), notified_.end(),
                              [this](uint32_t id) { return board_.waitedSeconds(id, 0) >= 0; });
    for (auto each = gone; each != notified_.end(); ++each) {
        notifier_->withdraw(*each);
    }
    notified_.erase(gone, notified_.end());
    if (!alarming()) {
        // Offline, the listed calls may be taken elsewhere already, and this console cannot
        // take them: their alarms stop until a login lists them again.
        for (uint32_t callId : notified_) {
            notifier_->withdraw(callId);
        }
        notified_.clear();
    }
    setTrayBlinking(alarming() && board_.alarmWaits());
}

bool OperatorSafety::alarming() const {
    return switches_.realert && window_.ready();
}

void OperatorSafety::tick() {
    const int64_t now = clock_();
    syncWaiting(now);
    const RealertDue due = board_.due(now);
    if (alarming() && due.any()) {
        realert(due);
    }
    showWaiting(now);
    journal_.retry();
}

void OperatorSafety::realert(const RealertDue& due) {
    const storage::ConsoleOptions& options = window_.options();
    const bool sosSound = due.sosSound && options.bit(storage::kOptionSosReminder);
    const bool helpSound = due.helpSound && options.bit(storage::kOptionHelpReminder);
    // One sound a pass: a new sound cuts the one playing, and the SOS alarm matters more.
    if (sosSound || helpSound) {
        intake_.playSoundEvent(sosSound ? kSosSoundEvent : kHelpSoundEvent);
    }
    const bool notify = !window_.mainWidget().isActiveWindow();
    const int64_t now = clock_();
    for (uint32_t callId : due.calls) {
        const CallRecord* call = waitingRecord(callId);
        if (call == nullptr) {
            continue;
        }
        const bool sos = intake_.pane(kSosCategory).model().holds(callId);
        if ((sos && sosSound) || (!sos && helpSound)) {
            journal_.record(
                storage::JournalStep::SoundPlayed, callId,
                AlarmDetail(sos ? kSosSoundEvent : kHelpSoundEvent, ++repeats_[callId]));
        }
        if (!notify) {
            continue;
        }
        const QString summary =
            CallTypeLabel(sos ? kSosCategory : kHelpCategory) + QString::fromUtf8(" 等待 ") +
            QString::fromUtf8(WaitingText(board_.waitedSeconds(callId, now)).c_str());
        const QString body = FromGbk(call->userName) + QStringLiteral("  ") +
                             FromGbk(LocationText(*call)).simplified() + QStringLiteral(" ") +
                             FromGbk(call->address);
        notifier_->show(callId, summary, body.trimmed(), sos);
        if (std::find(notified_.begin(), notified_.end(), callId) == notified_.end()) {
            notified_.push_back(callId);
        }
    }
}

void OperatorSafety::showWaiting(int64_t now) {
    lastShownMs_ = now;
    QString text;
    if (switches_.waitingTime) {
        text = QString::fromUtf8(OldestWaitingText(board_.oldestSeconds(now)).c_str());
        for (int code = 0; code < static_cast<int>(kCategoryCount); ++code) {
            intake_.pane(code).model().waitingChanged();
        }
    }
    if (journal_.failing()) {
        text += QString::fromUtf8(text.isEmpty() ? "处理日志写入失败" : "  处理日志写入失败");
    }
    switch (journal_.failing() ? WaitingLevel::Red : board_.level(now)) {
    case WaitingLevel::Calm:
        label_->setColors(kCalmText, kLineBackground);
        break;
    case WaitingLevel::Amber:
        label_->setColors(Qt::black, kAmber);
        break;
    case WaitingLevel::Red:
        label_->setColors(Qt::white, kRed);
        break;
    }
    label_->setText(text);
    if (label_->isVisibleTo(&window_.mainWidget()) != !text.isEmpty()) {
        label_->setVisible(!text.isEmpty());
        // The notice strip makes room for the label, or takes its place again.
        window_.relayout();
    }
}

void OperatorSafety::setTrayBlinking(bool on) {
    if (on == trayBlink_.isActive()) {
        return;
    }
    if (on) {
        trayBlink_.start(kTrayBlinkMs);
        return;
    }
    trayBlink_.stop();
    trayDark_ = false;
    window_.setTrayIcon(art::StatusIcon(window_.own().status));
}

void OperatorSafety::blinkTray() {
    trayDark_ = !trayDark_;
    window_.setTrayIcon(trayDark_ ? RowImage(kSosRowImage) : art::StatusIcon(window_.own().status));
}

void OperatorSafety::openJournalWindow() {
    if (journalWindow_ != nullptr) {
        journalWindow_->search();
        journalWindow_->raise();
        journalWindow_->activateWindow();
        return;
    }
    journalWindow_ = new CCallJournalDlg(journal_.journal(), window_.ui(), &window_.mainWidget());
    journalWindow_->show();
}

} // namespace talmor
