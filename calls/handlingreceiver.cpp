#include "calls/handlingreceiver.h"

#include "calls/handlingmenu.h"
#include "calls/handlingtexts.h"
#include "calls/handlingwindows.h"
#include "calls/othermemodlg.h"
#include "calls/procdlg.h"
#include "calls/proclistmodel.h"
#include "calls/sellersearchdlg.h"
#include "calls/sendcalldlg.h"
#include "calls/specialsmssend.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "protocol/registeredwindow.h"
#include "protocol/sessionrecords.h"

namespace talmor {

namespace {

template <typename Window> Window* Find(ConsoleHost& window, uint32_t key) {
    return dynamic_cast<Window*>(window.windows().findWindow(Window::kWindowType, key, 0));
}

} // namespace

void CallHandling::onTakenCalls(std::vector<CallRecord> calls) {
    list_.AddCalls(calls);
}

void CallHandling::onCallTaken(const CallRecord& call) {
    list_.AddTakenCall(call);
}

bool CallHandling::holds(uint32_t callId) const {
    return list_.model().holds(callId);
}

void CallHandling::onCallNoticeDone(uint32_t callId, bool) {
    if (auto* notice = FindHandlingWindow<CSendCallDlg>(window_, callId)) {
        notice->NoticeDone();
    }
    list_.RemoveCall(callId);
    // The notice closes the call as its report does: it leaves the help and SOS panes too.
    if (CallReceiver* calls = window_.routes().calls) {
        calls->onCallMemoSaved(callId);
    }
}

void CallHandling::onCallMemoSaved(uint32_t callId) {
    if (auto* report = FindHandlingWindow<COtherMemoDlg>(window_, callId)) {
        report->ReportSaved();
    }
    list_.RemoveCall(callId);
}

void CallHandling::onCallGone(uint32_t callId) {
    const auto close = [](QWidget* handling) {
        if (handling != nullptr) {
            handling->close();
        }
    };
    close(FindHandlingWindow<COtherMemoDlg>(window_, callId));
    close(FindHandlingWindow<CSendCallDlg>(window_, callId));
    close(FindHandlingWindow<CSpecialSmsSend>(window_, callId));
    if (callId == 0 || list_.model().rowOf(callId) < 0) {
        return;
    }
    list_.RemoveCall(callId);
    window_.ui().notice(&window_.mainWidget(), QString::fromUtf8(text::kCallGoneElsewhere));
}

void CallHandling::onFamilyContact(bool second, uint32_t key, const std::string& name,
                                   const std::string& phone) {
    auto* sms = FindHandlingWindow<CSpecialSmsSend>(window_, key);
    if (sms == nullptr) {
        return;
    }
    if (second) {
        sms->AddOtherContact(name, phone);
    } else {
        sms->AddFamilyContact(name, phone);
    }
}

void CallHandling::onSellerResult(std::vector<SellerEntry> entries, uint32_t windowKey) {
    if (auto* search = FindHandlingWindow<CSellerSearchDlg>(window_, windowKey)) {
        search->OnSellerResult(entries);
    }
}

void CallHandling::onListsRequested() {
    list_.clearRows();
}

void CallHandling::onCallDroppedOnContact(uint32_t callId, uint32_t userId) {
    // Id 0 would find the operator's own profile.
    const UserRecord* merchant = userId != 0 ? window_.FindUserRecord(userId) : nullptr;
    if (merchant == nullptr || merchant->typeCode != "B") {
        return;
    }
    if (!window_.seatRights().granted(kHelpHandlingRight)) {
        window_.ui().error(&window_.mainWidget(), QString::fromUtf8(text::kNoDragRight));
        return;
    }
    const int row = list_.model().rowOf(callId);
    if (row < 0) {
        return;
    }
    const CallRecord call = list_.model().record(row);
    // Only help calls are passed on to merchants.
    if (call.category != 0) {
        return;
    }
    CSendCallDlg::Open(window_, userId, call);
}

void CallHandling::openFamilySms(uint32_t callId, uint32_t userId, const std::string& name,
                                 const std::string& phone) {
    CSpecialSmsSend::Open(window_, callId, userId, name, phone);
}

} // namespace talmor
