#pragma once

#include "kit/eventroutes.h"

namespace talmor {

class CProcDlg;
class ConsoleHost;

// Takes the events of the processing list and of the windows that handle one call, and opens
// the windows that other parts of the console ask for (the family SMS of the quick-action bar,
// the merchant notice of a call dropped on a merchant).
class CallHandling : public HandlingReceiver {
public:
    CallHandling(ConsoleHost& window, CProcDlg& list) : window_(window), list_(list) {}

    void onTakenCalls(std::vector<CallRecord> calls) override;
    void onCallTaken(const CallRecord& call) override;
    bool holds(uint32_t callId) const override;
    void onCallNoticeDone(uint32_t callId, bool second) override;
    void onCallMemoSaved(uint32_t callId) override;
    void onCallGone(uint32_t callId) override;
    void onFamilyContact(bool second, uint32_t key, const std::string& name,
                         const std::string& phone) override;
    void onSellerResult(std::vector<SellerEntry> entries, uint32_t windowKey) override;
    void onListsRequested() override;
    void onCallDroppedOnContact(uint32_t callId, uint32_t userId) override;
    void openFamilySms(uint32_t callId, uint32_t userId, const std::string& name,
                       const std::string& phone) override;

    CProcDlg& list() { return list_; }

private:
    ConsoleHost& window_;
    CProcDlg& list_;
};

} // namespace talmor
