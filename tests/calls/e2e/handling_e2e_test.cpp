#include <gtest/gtest.h>

#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

#include <memory>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/handlingmenu.h"
#include "calls/procdlg.h"
#include "calls/proclistmodel.h"
#include "calls/sellersearchdlg.h"
#include "calls/sendcalldlg.h"
#include "calls/specialsmssend.h"
#include "console/paneslot.h"
#include "console/talmormanagerdlg.h"
#include "kit/resultlistmodel.h"
#include "protocol/commands.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/liveconsole.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/wire.h"

namespace talmor::e2e {
namespace {

constexpr int kTimeoutMs = 30000;
constexpr int kHelp = 0;
constexpr uint32_t kMerchant = 3001;

// One request of operator 1024 as the server logged it.
struct Logged {
    uint16_t command = 0;
    testing::Bytes body;
};

// Operator 1024's console in this process on real sockets, logged in to a real quorvane-server
// with the demo seed: calls are taken from its help pane and handled in its processing list.
class HandlingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
        console = std::make_unique<LiveConsole>(server.udpPort(), server.httpPort());
        console->login(1024, "talmor1024");
        ASSERT_TRUE(waitFor([&] { return console->ready(); }, kTimeoutMs));
    }
    void TearDown() override { console.reset(); }

    CProcDlg& list() { return *dynamic_cast<CProcDlg*>(console->window().processPane().pane()); }
    bool listed(uint32_t callId) { return list().model().holds(callId); }

    // A help call of subscriber 2001, taken from the help pane of 1024.
    uint32_t takeHelpCall() {
        const auto answer = control->post("/api/calls/inject?category=0&user=2001");
        const uint32_t id =
            answer ? static_cast<uint32_t>(answer->object().value("callId").toInt()) : 0;
        EXPECT_GT(id, 0u);
        CCallPane& pane = console->intake().pane(kHelp);
        EXPECT_TRUE(waitFor([&] { return pane.model().holds(id); }, kTimeoutMs));
        for (int row = 0; row < pane.model().rowCount(); ++row) {
            if (pane.model().record(row).callId == id) {
                pane.view()->selectRow(row);
            }
        }
        pane.takeSelectedCall();
        EXPECT_TRUE(waitFor([&] { return callState(id) == "taken"; }, kTimeoutMs));
        return id;
    }
    QString callState(uint32_t callId) {
        const auto calls = control->get("/api/calls");
        for (const QJsonValue& entry : calls ? calls->array() : QJsonArray()) {
            if (entry.toObject().value("callId").toInt() == static_cast<int>(callId)) {
                return entry.toObject().value("state").toString();
            }
        }
        return {};
    }
    void select(uint32_t callId) { list().view()->selectRow(list().model().rowOf(callId)); }
    // The handling requests 1024 sent about calls, in order.
    std::vector<Logged> logged(std::initializer_list<uint16_t> commands) {
        std::vector<Logged> result;
        const auto log = control->get("/api/log?operator=1024");
        for (const QJsonValue& entry : log ? log->array() : QJsonArray()) {
            const QJsonObject object = entry.toObject();
            const auto command = static_cast<uint16_t>(object.value("command").toInt());
            if (std::find(commands.begin(), commands.end(), command) != commands.end()) {
                const QByteArray body =
                    QByteArray::fromHex(object.value("body").toString().toLatin1());
                result.push_back({command, testing::Bytes(body.begin(), body.end())});
            }
        }
        return result;
    }

    ServerProcess server;
    std::unique_ptr<ControlClient> control;
    std::unique_ptr<LiveConsole> console;
};

TEST_F(HandlingEndToEnd, TheFamilySmsIsSentAndTheConfirmedCallLeavesTheList) {
    const uint32_t id = takeHelpCall();
    ASSERT_TRUE(waitFor([&] { return listed(id); }, kTimeoutMs));
    select(id);
    list().runCommand(kCmdFamilySms);
    auto* sms = dynamic_cast<CSpecialSmsSend*>(
        console->window().findWindow(CSpecialSmsSend::kWindowType, id, 0));
    ASSERT_NE(sms, nullptr);
    // Subscriber 2001 has two family members and one other contact.
    ASSERT_TRUE(waitFor(
        [&] {
            return sms->familyTree()->topLevelItemCount() == 2 &&
                   sms->otherTree()->topLevelItemCount() == 1;
        },
        kTimeoutMs));
    EXPECT_EQ(sms->familyTree()->topLevelItem(0)->text(0),
              QString::fromUtf8("张小明（儿子） (13600002001)"));
    for (int i = 0; i < 2; ++i) {
        sms->familyTree()->topLevelItem(i)->setCheckState(0, Qt::Checked);
    }
    sms->edit()->setPlainText(QString::fromUtf8("已通知社区医生上门查看"));
    for (QPushButton* button : sms->findChildren<QPushButton*>()) {
        if (button->text() == QString::fromUtf8("确定(&S)")) {
            button->click();
        }
    }
    // The server records the report and confirms: the call leaves the list.
    ASSERT_TRUE(waitFor([&] { return !listed(id); }, kTimeoutMs));
    EXPECT_EQ(callState(id), "closed");
    EXPECT_EQ(console->window().findWindow(CSpecialSmsSend::kWindowType, id, 0), nullptr);

    const std::vector<Logged> sent = logged({CMD_SOS_SMS, CMD_CALL_REPORT});
    ASSERT_EQ(sent.size(), 3u);
    const char* phones[] = {"13600002001", "13600002002"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(sent[i].command, CMD_SOS_SMS);
        testing::BodyReader body(sent[i].body);
        EXPECT_EQ(body.in().u32(), id);
        EXPECT_EQ(body.in().text(), phones[i]);
        EXPECT_EQ(body.in().text(), testing::Gbk("已通知社区医生上门查看"));
    }
    EXPECT_EQ(sent[2].command, CMD_CALL_REPORT);
    testing::BodyReader report(sent[2].body);
    EXPECT_EQ(report.in().u32(), id);
}

TEST_F(HandlingEndToEnd, AHelpCallDroppedOnAMerchantIsNoticedAndLeavesTheList) {
    const uint32_t id = takeHelpCall();
    ASSERT_TRUE(waitFor([&] { return listed(id); }, kTimeoutMs));
    // The taken call also comes back in the server's list of taken calls (the console then asks
    // for the calls after it): listed once.
    ASSERT_TRUE(waitFor(
        [&] {
            for (const Logged& request : logged({CMD_GET_TAKEN_CALLS})) {
                testing::BodyReader start(request.body);
                if (start.in().u32() == id) {
                    return true;
                }
            }
            return false;
        },
        kTimeoutMs));
    EXPECT_EQ(list().model().rowCount(), 1);
    // What the contact pane receives when the row is dropped on merchant 3001.
    const int row = list().model().rowOf(id);
    std::unique_ptr<QMimeData> drag(list().model().mimeData({list().model().index(row, 0)}));
    ASSERT_NE(drag, nullptr);
    const uint32_t dropped = drag->data(kCallMimeType).toUInt();
    console->window().routes().handling->onCallDroppedOnContact(dropped, kMerchant);
    auto* notice =
        dynamic_cast<CSendCallDlg*>(console->window().findWindow(CSendCallDlg::kWindowType, id, 0));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->valueText(1055), QString::fromUtf8("张建国"));
    notice->edit()->setPlainText(QString::fromUtf8("空调不制冷，请上门"));
    notice->noticeButton()->click();
    ASSERT_TRUE(waitFor([&] { return !listed(id); }, kTimeoutMs));
    // Passed on, the call is closed: it does not come back in the taken calls.
    EXPECT_EQ(callState(id), "closed");
    EXPECT_EQ(console->ui.texts("notice").back(),
              QString::fromUtf8("已成功完成服务要求的信息通知！"));
    const std::vector<Logged> sent = logged({CMD_SERVICE_NOTICE_2});
    ASSERT_EQ(sent.size(), 1u);
    testing::BodyReader body(sent[0].body);
    EXPECT_EQ(body.in().u32(), id);
    EXPECT_EQ(body.in().u32(), kMerchant);
    EXPECT_EQ(body.in().u32(), 0u);
}

TEST_F(HandlingEndToEnd, TheMerchantSearchFindsTheMerchantsAroundTheCaller) {
    const uint32_t id = takeHelpCall();
    ASSERT_TRUE(waitFor([&] { return listed(id); }, kTimeoutMs));
    select(id);
    list().runCommand(kCmdSellerSearch);
    auto* search = dynamic_cast<CSellerSearchDlg*>(
        console->window().findWindow(CSellerSearchDlg::kWindowType, id, 0));
    ASSERT_NE(search, nullptr);
    search->typeBox()->setCurrentText(QString::fromUtf8("生活服务"));
    search->subTypeBox()->setCurrentText(QString::fromUtf8("家电维修"));
    search->search();
    ASSERT_TRUE(waitFor([&] { return search->rows().rowCount() == 1; }, kTimeoutMs));
    EXPECT_EQ(search->rows().index(0, 0).data().toString(), QString("3001"));
    EXPECT_EQ(search->rows().index(0, 1).data().toString(),
              QString::fromUtf8("安居家电维修服务部"));
}

} // namespace
} // namespace talmor::e2e
