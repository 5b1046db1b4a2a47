#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTableView>

#include <memory>
#include <string>
#include <vector>

#include "calls/callintake.h"
#include "calls/callparts.h"
#include "calls/procdlg.h"
#include "calls/proclistmodel.h"
#include "console/paneslot.h"
#include "kit/soundplayer.h"
#include "protocol/commands.h"
#include "support/consoleharness.h"
#include "support/wire.h"

namespace talmor::testing {

// The console with its call parts, ready for operator 1024, playing the server for the
// processing list and the handling windows.
class HandlingFixture : public ::testing::Test {
protected:
    class Silent : public SoundOutput {
    public:
        void play(int, const QString&) override {}
    };

    static Deployment TestDeployment() {
        Deployment deployment;
        deployment.backOfficeHost = "bo.test";
        deployment.positionService = "http://pos.test";
        return deployment;
    }

    HandlingFixture() : h(TestDeployment()) {
        InstallCallParts(h.window());
        if (auto* intake = h.window().routes().intake) {
            intake->setSoundOutput(std::make_unique<Silent>());
        }
    }

    void ready(const SeatRights& rights = ConsoleHarness::AllRights()) {
        h.login(rights);
        h.takeSent();
    }

    CProcDlg& list() { return *dynamic_cast<CProcDlg*>(h.window().processPane().pane()); }
    ProcListModel& rows() { return list().model(); }

    // A help, SOS or service call of a caller in the operator's area.
    static CallRecord Call(uint32_t callId, uint32_t category) {
        const UserRecord area = ConsoleHarness::Operator();
        CallRecord call;
        call.callId = callId;
        call.userId = 2000 + callId;
        call.category = category;
        call.callTime = 1700000000;
        call.userName = Gbk("张大爷");
        call.age = 78;
        call.sex = 1;
        call.phone = "0755-26602001";
        call.mobile = "13500002001";
        call.province = area.province;
        call.city = area.city;
        call.district = area.district;
        call.street = area.street;
        call.community = area.community;
        call.address = Gbk("科技园社区3栋502");
        call.mapMark = "113.94,22.53";
        return call;
    }

    // A part of the taken-call list from the server.
    void deliverTaken(const std::vector<CallRecord>& calls) {
        h.deliver(CMD_TAKEN_CALLS, [&](OutPacket& out) {
            writeList(out, calls, [](OutPacket& o, const CallRecord& c) {
                c.write(o, CallWireOrder::TakenCall);
            });
        });
    }

    // The calls are listed and the row of `callId` is selected.
    void listAndSelect(const std::vector<CallRecord>& calls, uint32_t callId) {
        deliverTaken(calls);
        h.takeSent();
        list().view()->selectRow(rows().rowOf(callId));
    }

    // The requests sent since the last take, without the automatic request for the next part
    // of a call list.
    std::vector<Sent> requests() {
        std::vector<Sent> result;
        for (Sent& sent : h.takeSent()) {
            if (sent.command != CMD_GET_TAKEN_CALLS) {
                result.push_back(std::move(sent));
            }
        }
        return result;
    }

    // Deferred deletions of closed windows happen.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    template <typename Window> Window* find(uint32_t key) {
        return dynamic_cast<Window*>(h.window().findWindow(Window::kWindowType, key, 0));
    }

    ConsoleHarness h;
};

// Reads the fields of a request body in order.
class Body {
public:
    explicit Body(const Sent& sent) : reader_(sent.body) {}
    uint32_t u32() { return reader_.in().u32(); }
    std::string text() { return reader_.in().text(); }

private:
    BodyReader reader_;
};

} // namespace talmor::testing
