#include "calls/callintake.h"

#include <cstdlib>

#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/callpanetable.h"
#include "calls/intakefilter.h"
#include "calls/operatorsafety.h"
#include "calls/safetyswitches.h"
#include "calls/servicemsgbox.h"
#include "calls/warndlg.h"
#include "kit/appfolders.h"
#include "kit/consolehost.h"
#include "kit/consolesounds.h"
#include "kit/deployment.h"
#include "kit/startupmarks.h"
#include "protocol/ownprofile.h"
#include "protocol/registeredwindow.h"
#include "protocol/sessionrecords.h"
#include "storage/consoleoptions.h"

namespace talmor {

CallIntake::CallIntake(ConsoleHost& window, ConsoleSounds& sounds)
    : QObject(&window.mainWidget()), window_(window), sounds_(sounds) {
    for (const CallPaneConfig& config : kCallPanes) {
        auto* pane = new CCallPane(config, window);
        panes_[static_cast<std::size_t>(config.code)] = pane;
        window.placeCategoryPane(config.code, pane);
    }
    const QString ini =
        DeploymentFile(QString::fromStdString(applicationFolder()), std::getenv("TALMOR_CONFIG"));
    safety_ = new OperatorSafety(window, *this, LoadSafetySwitches(ini));
}

CallIntake::~CallIntake() {
    // The box and the reminder have no parent; they go with the console.
    delete box_.data();
    delete warning_.data();
}

void CallIntake::setSoundOutput(std::unique_ptr<SoundOutput> output) {
    sounds_.setOutput(std::move(output));
}

void CallIntake::onCallList(int list, std::vector<CallRecord> calls) {
    const int code = PaneCodeOfList(list);
    if (code < 0) {
        return;
    }
    const HandlingReceiver* handling = window_.routes().handling;
    std::vector<CallRecord> listed;
    std::vector<CallRecord> fresh;
    for (CallRecord& call : calls) {
        // A page the server sent before this operator took one of its calls may arrive after
        // the take: the call waits in the processing list, not here.
        if (handling != nullptr && handling->holds(call.callId)) {
            continue;
        }
        // A list entry carries no category on the wire: its list names it.
        call.category = static_cast<uint32_t>(code);
        if (!pane(code).model().holds(call.callId)) {
            fresh.push_back(call);
        }
        listed.push_back(std::move(call));
    }
    pane(code).AddCalls(listed);
    safety_->callsShown(fresh);
}

void CallIntake::onNewCall(CallRecord call) {
    const OwnProfile& own = window_.own();
    const IntakeVerdict verdict =
        JudgeNewCall(call, own.record, own.scopeCode, window_.seatRights(), window_.options());
    if (!verdict.taken) {
        Mark(("call " + std::to_string(call.callId) + " ignored").c_str());
        return;
    }
    safety_->callArrived(call);
    if (verdict.soundEvent >= 0) {
        playSoundEvent(verdict.soundEvent);
        safety_->soundPlayed(call, verdict.soundEvent);
    }
    if (verdict.paneCode >= 0) {
        if (window_.options().bit(storage::kOptionJumpToTab)) {
            window_.showCategoryTab(verdict.paneCode);
        }
        const bool listed = pane(verdict.paneCode).model().holds(call.callId);
        pane(verdict.paneCode).AddCalls({call});
        if (!listed) {
            safety_->callsShown({call});
        }
        Mark(
            ("call " + std::to_string(call.callId) + " in pane " + std::to_string(verdict.paneCode))
                .c_str());
    }
    openMessageBox(call, verdict.boxCategory);
}

void CallIntake::openMessageBox(const CallRecord& call, int category) {
    if (window_.windows().findWindow(CServiceMsgBox::kWindowType, 0, 0) != nullptr) {
        return;
    }
    box_ = new CServiceMsgBox(window_.windows(), call.userId, call.userName, call.phone,
                              static_cast<uint32_t>(category));
}

void CallIntake::onCallGone(uint32_t callId) {
    safety_->callGone(callId);
    for (CCallPane* each : panes_) {
        each->RemoveCall(callId);
    }
    Mark(("call " + std::to_string(callId) + " gone").c_str());
}

void CallIntake::onCallMemoSaved(uint32_t callId) {
    safety_->callConfirmed(callId);
    pane(kHelpCategory).RemoveCall(callId);
    pane(kSosCategory).RemoveCall(callId);
}

void CallIntake::onListsRequested() {
    for (CCallPane* each : panes_) {
        each->clearRows();
    }
    safety_->loggedIn();
}

void CallIntake::onReminderDue() {
    if (window_.windows().findWindow(CWarnDlg::kWindowType, 0, 0) == nullptr) {
        warning_ = new CWarnDlg(window_.windows());
    }
}

int CallIntake::rowCount(int code) const {
    if (code < 0 || code >= static_cast<int>(kCategoryCount)) {
        return 0;
    }
    return pane(code).rowCount();
}

void CallIntake::playSoundEvent(int event) {
    sounds_.playSoundEvent(event);
}

} // namespace talmor
