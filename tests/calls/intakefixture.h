#pragma once

#include <algorithm>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "calls/callintake.h"
#include "calls/callparts.h"
#include "calls/servicemsgbox.h"
#include "kit/soundplayer.h"
#include "protocol/commands.h"
#include "support/consoleharness.h"
#include "support/wire.h"

// The intake fixture: the console with its call parts, its sounds recorded, the test playing
// the server and the processing list.
namespace talmor::intake {

using testing::ConsoleHarness;
using testing::Gbk;
using testing::U;

class RecordedSounds : public SoundOutput {
public:
    explicit RecordedSounds(std::vector<int>& events) : events_(events) {}
    void play(int event, const QString&) override { events_.push_back(event); }

private:
    std::vector<int>& events_;
};

// What a pane hands to the processing list.
class TakenCalls : public HandlingReceiver {
public:
    void onTakenCalls(std::vector<CallRecord>) override {}
    void onCallTaken(const CallRecord& call) override { taken.push_back(call); }
    bool holds(uint32_t callId) const override {
        return std::any_of(taken.begin(), taken.end(),
                           [callId](const CallRecord& call) { return call.callId == callId; });
    }
    void onCallNoticeDone(uint32_t, bool) override {}
    void onCallGone(uint32_t) override {}
    void onCallMemoSaved(uint32_t) override {}
    void onFamilyContact(bool, uint32_t, const std::string&, const std::string&) override {}
    void onSellerResult(std::vector<SellerEntry>, uint32_t) override {}
    void onListsRequested() override {}
    void onCallDroppedOnContact(uint32_t, uint32_t) override {}
    std::vector<CallRecord> taken;
};

// A caller of the operator's own community.
inline CallRecord Caller(uint32_t callId, uint32_t category) {
    const UserRecord area = ConsoleHarness::Operator();
    CallRecord call;
    call.callId = callId;
    call.userId = 2000 + callId;
    call.category = category;
    call.callTime = 1700000000;
    call.userName = Gbk("张大爷");
    call.phone = "0755-8888";
    call.province = area.province;
    call.city = area.city;
    call.district = area.district;
    call.street = area.street;
    call.community = area.community;
    return call;
}

class IntakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallCallParts(h.window());
        intake = h.window().routes().intake;
        ASSERT_NE(intake, nullptr);
        intake->setSoundOutput(std::make_unique<RecordedSounds>(sounds));
    }

    void ready(const SeatRights& rights = ConsoleHarness::AllRights()) {
        h.login(rights);
        h.window().routes().handling = &handling;
        h.takeSent();
    }
    void newCall(const CallRecord& call) {
        h.deliver(CMD_NEW_CALL, [&](OutPacket& out) { call.write(out, CallWireOrder::NewCall); });
    }
    void callList(uint16_t reply, const std::vector<CallRecord>& calls, CallWireOrder order) {
        h.deliver(reply, [&](OutPacket& out) {
            writeList(out, calls,
                      [order](OutPacket& o, const CallRecord& c) { c.write(o, order); });
        });
    }
    CServiceMsgBox* box() {
        return dynamic_cast<CServiceMsgBox*>(
            h.window().findWindow(CServiceMsgBox::kWindowType, 0, 0));
    }
    int rows(int code) { return intake->rowCount(code); }
    int totalRows() {
        int total = 0;
        for (int code = 0; code < 27; ++code) {
            total += rows(code);
        }
        return total;
    }
    std::vector<uint16_t> requestsSent() { return h.takeSentCommands(); }

    ConsoleHarness h;
    CallIntake* intake = nullptr;
    TakenCalls handling;
    std::vector<int> sounds;
};

} // namespace talmor::intake
