// The training server's own back-office pages and live view, on a small platform: what they
// count, what they refuse and what they escape.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "protocol/commands.h"
#include "server/backofficesite.h"
#include "server/liveview.h"
#include "server/scenario.h"
#include "server/subscriberform.h"
#include "support/serverharness.h"

namespace talmor::server {
namespace {

using testing::FakeConsole;
using testing::ServerHarness;

// The harness with a clock the test moves.
struct Platform : ServerHarness {
    Platform() {
        calls.setClock([this] { return nowMs; });
    }
    QString page(const char* path, const QString& query) {
        return QString::fromUtf8(*backOfficePage(*server, path, QUrlQuery(query)));
    }
    int64_t nowMs = 1'800'000'000'000;
};

QUrlQuery goodForm() {
    return QUrlQuery(QString::fromUtf8("name=赵桂芳&sex=2&age=81&phone=&mobile=13912345678"
                                       "&district=D&street=S&address=8栋101"
                                       "&family1_name=赵强&family1_phone=13912340000"));
}

TEST(SubscriberForm, BadInputIsRefusedWithItsMessageAndStoresNothing) {
    const struct {
        const char* what;
        const char* key;
        QString value;
        const char* message;
    } cases[] = {
        {"no name", "name", "", "请填写姓名"},
        {"a long name", "name", QString(21, QChar(0x738B)), "请填写姓名"},
        {"no sex", "sex", "", "请选择性别"},
        {"an age that is no number", "age", "abc", "年龄应为"},
        {"an age out of range", "age", "131", "年龄应为"},
        {"no number at all", "mobile", "", "电话和手机至少填写一个"},
        {"a mobile too short", "mobile", "1391234", "手机号码应为"},
        {"a phone with letters", "phone", "0755-abc", "电话号码只能"},
        {"an open area part left empty", "street", "", "请填写街道"},
        {"no address", "address", "", "请填写详细地址"},
        {"a family member without phone", "family1_phone", "", "家属联系人1"},
        {"a text GBK cannot write", "address", QString::fromUtf8("8栋😀"), "无法保存"},
        {"a mobile already registered", "mobile", "0755-1", "已登记"},
    };
    for (const auto& c : cases) {
        Platform p;
        const std::size_t before = p.directory.accounts().size();
        QUrlQuery fields = goodForm();
        fields.removeAllQueryItems(c.key);
        fields.addQueryItem(c.key, c.value);
        if (QString(c.key) == "mobile" && c.value == "0755-1") {
            // The mobile field must look like a mobile: register the phone twice instead.
            fields.removeAllQueryItems("mobile");
            fields.removeAllQueryItems("phone");
            fields.addQueryItem("phone", "0755-1");
        }
        const auto result = SubscriberForm::create(fields, *p.directory.find(1024), p.directory);
        ASSERT_TRUE(std::holds_alternative<QString>(result)) << c.what;
        EXPECT_TRUE(std::get<QString>(result).contains(QString::fromUtf8(c.message)))
            << c.what << ": " << std::get<QString>(result).toStdString();
        EXPECT_EQ(p.directory.accounts().size(), before) << c.what;
    }
}

TEST(SubscriberForm, ANewSubscriberLivesInTheOperatorsAreaAndCanRaiseCalls) {
    Platform p;
    QUrlQuery fields = goodForm();
    // Parts the operator's scope fixes come from the operator, whatever the form says.
    fields.addQueryItem("community", "elsewhere");
    const auto result = SubscriberForm::create(fields, *p.directory.find(1024), p.directory);
    ASSERT_TRUE(std::holds_alternative<uint32_t>(result))
        << std::get<QString>(result).toStdString();
    const uint32_t id = std::get<uint32_t>(result);
    EXPECT_EQ(id, 2003u);
    const Account* made = p.directory.find(id);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->kind, AccountKind::Subscriber);
    EXPECT_EQ(made->profile.community, "A");
    EXPECT_EQ(made->profile.district, "D");
    EXPECT_EQ(made->profile.sex, 2);
    EXPECT_EQ(made->profile.age, 81);
    ASSERT_EQ(made->family.size(), 1u);
    EXPECT_EQ(made->family[0].phone, "13912340000");

    // A console of the area is offered its call.
    FakeConsole console = p.console(1024, 4000);
    console.loginToReady(p.recorder);
    const uint32_t call = p.server->injectCall(makeCall(*made, 1, 1000));
    const auto offered = p.recorder.to(console.endpoint(), CMD_NEW_CALL);
    ASSERT_FALSE(offered.empty());
    EXPECT_EQ(p.calls.find(call)->record.mobile, "13912345678");
}

TEST(BackOfficePages, CallRecordsHoldTheScopeNewestFirstEscapedAndFiltered) {
    Platform p;
    FakeConsole console = p.console(1024, 4000);
    console.loginToReady(p.recorder);
    const uint32_t first = p.server->injectCall(makeCall(*p.directory.find(2001), 0, 1000));
    p.nowMs += 5000;
    const uint32_t second = p.server->injectCall(makeCall(*p.directory.find(2001), 1, 1000));
    const uint32_t elsewhere = p.server->injectCall(makeCall(*p.directory.find(2002), 1, 1000));
    console.request(CMD_TAKE_CALL, [&](OutPacket& out) { out.writeInt(first); });
    console.request(CMD_CALL_REPORT,
                    [&](OutPacket& out) { out.writeInt(first).writeString("<script>x</script>"); });

    const QString all = p.page("/user_call_collect.aspx", "manager_id=1024&randnum=R");
    EXPECT_TRUE(all.contains("&lt;script&gt;x&lt;/script&gt;"));
    EXPECT_FALSE(all.contains("<script>x"));
    EXPECT_LT(all.indexOf(QString("data-call=\"%1\"").arg(second)),
              all.indexOf(QString("data-call=\"%1\"").arg(first)));
    EXPECT_FALSE(all.contains(QString("data-call=\"%1\"").arg(elsewhere)));
    // The form keeps what the console sent.
    EXPECT_TRUE(all.contains("name=\"randnum\" value=\"R\""));

    const QString sos = p.page("/user_call_collect.aspx", "manager_id=1024&category=1");
    EXPECT_TRUE(sos.contains(QString("data-call=\"%1\"").arg(second)));
    EXPECT_FALSE(sos.contains(QString("data-call=\"%1\"").arg(first)));
    const QString handled = p.page("/user_call_collect.aspx", "manager_id=1024&operator=1024");
    EXPECT_TRUE(handled.contains(QString("data-call=\"%1\"").arg(first)));
    EXPECT_FALSE(handled.contains(QString("data-call=\"%1\"").arg(second)));
    const QString otherDay = p.page("/user_call_collect.aspx", "manager_id=1024&day=2001-01-01");
    EXPECT_FALSE(otherDay.contains("data-call="));
    EXPECT_TRUE(p.page("/user_call_collect.aspx", "manager_id=1024&day=yesterday")
                    .contains("class=\"error\""));
    // Not an operator: no records at all.
    EXPECT_FALSE(p.page("/user_call_collect.aspx", "manager_id=2001").contains("data-call="));
}

TEST(BackOfficePages, CallRecordsComeInPagesOfTwenty) {
    Platform p;
    for (int i = 0; i < 45; ++i) {
        p.server->injectCall(makeCall(*p.directory.find(2001), 2, 1000));
    }
    const auto rows = [&](const char* query) {
        return p.page("/user_call_collect.aspx", query).count("class=\"call\"");
    };
    EXPECT_EQ(rows("manager_id=1024"), 20);
    EXPECT_EQ(rows("manager_id=1024&page=3"), 5);
    EXPECT_EQ(rows("manager_id=1024&page=99"), 5); // past the end: the last page
    const QString third = p.page("/user_call_collect.aspx", "manager_id=1024&page=3");
    EXPECT_TRUE(third.contains("data-call=\"1\""));
    EXPECT_TRUE(third.contains("page=2"));
}

TEST(BackOfficePages, TheSmsLogAndTheCountsComeFromWhatTheConsolesDid) {
    Platform p;
    FakeConsole console = p.console(1024, 4000);
    console.loginToReady(p.recorder);
    const uint32_t id = p.server->injectCall(makeCall(*p.directory.find(2001), 1, 1000));
    p.server->injectCall(makeCall(*p.directory.find(2001), 0, 1000));
    console.request(CMD_TAKE_CALL, [&](OutPacket& out) { out.writeInt(id); });
    console.request(CMD_SOS_SMS, [&](OutPacket& out) {
        out.writeInt(id).writeString("13600000001").writeString("on <our> way");
    });
    console.request(CMD_CALL_REPORT, [&](OutPacket& out) { out.writeInt(id).writeString("ok"); });

    const QString texts = p.page("/send_sms_log.aspx", "manager_id=1024");
    EXPECT_EQ(texts.count("class=\"text\""), 1);
    EXPECT_TRUE(texts.contains("13600000001"));
    EXPECT_TRUE(texts.contains("on &lt;our&gt; way"));
    // Operator 1026 watches another area: the SMS is not in its log.
    EXPECT_EQ(p.page("/send_sms_log.aspx", "manager_id=1026").count("class=\"text\""), 0);

    // help, SOS, services, all, reported
    const QString counts = "<td>1</td><td>1</td><td>0</td><td>2</td><td>1</td>";
    const QString subscribers = p.page("/call_user_list.aspx", "manager_id=1024");
    EXPECT_TRUE(subscribers.contains("data-id=\"2001\""));
    EXPECT_FALSE(subscribers.contains("data-id=\"2002\""));
    EXPECT_TRUE(subscribers.contains(counts)) << subscribers.toStdString();
    const QString usage = p.page("/user_call_check.aspx", "manager_id=1024");
    EXPECT_EQ(usage.count("class=\"day\""), 1);
    EXPECT_TRUE(usage.contains(counts)) << usage.toStdString();
    EXPECT_TRUE(usage.contains("data-category=\"1\"><td>" + QString::fromUtf8("求救呼叫") +
                               "</td><td>1</td>"));
    // Under the folder a console's back-office address may name, the same page.
    EXPECT_TRUE(p.page("/manage/user_call_check.aspx", "manager_id=1024").contains(counts));
    // Every other address keeps its stand-in.
    EXPECT_FALSE(backOfficePage(*p.server, "/createmanager.aspx", QUrlQuery()).has_value());
}

TEST(LiveView, ThePictureCountsWaitsTakesAndEachOperatorsTimeToTake) {
    Platform p;
    LiveViewModel model;
    FakeConsole console = p.console(1024, 4000);
    console.loginToReady(p.recorder);
    model.observe(*p.server, p.nowMs);
    std::vector<uint32_t> ids;
    for (int i = 0; i < 4; ++i) {
        const auto now = static_cast<uint32_t>(p.nowMs / 1000);
        ids.push_back(p.server->injectCall(makeCall(*p.directory.find(2001), 1, now)));
        p.nowMs += 1000;
    }
    // Taken after 10, 20 and 30 seconds of wait; the last call still waits.
    for (int i = 0; i < 3; ++i) {
        p.nowMs = 1'800'000'000'000 + i * 1000 + (i + 1) * 10000;
        console.request(CMD_TAKE_CALL, [&](OutPacket& out) { out.writeInt(ids[i]); });
    }
    console.request(CMD_CALL_REPORT,
                    [&](OutPacket& out) { out.writeInt(ids[0]).writeString("ok"); });
    const QJsonObject picture = model.picture(*p.server, p.nowMs);

    ASSERT_EQ(picture["consoles"].toArray().size(), 1);
    EXPECT_EQ(picture["consoles"][0]["operator"].toInt(), 1024);
    EXPECT_EQ(picture["waitingTotal"].toInt(), 1);
    ASSERT_EQ(picture["waiting"].toArray().size(), 1);
    EXPECT_EQ(picture["waiting"][0]["category"].toInt(), 1);
    EXPECT_EQ(picture["waiting"][0]["oldest"].toInteger(), 1'800'000'003'000);
    EXPECT_EQ(picture["takenTotal"].toInt(), 2);
    EXPECT_EQ(picture["taken"][0]["callId"].toInt(), static_cast<int>(ids[1]));
    ASSERT_EQ(picture["operators"].toArray().size(), 1);
    const QJsonValue figures = picture["operators"][0];
    EXPECT_EQ(figures["taken"].toInt(), 3);
    EXPECT_EQ(figures["medianMs"].toInteger(), 20000);
    EXPECT_EQ(figures["p90Ms"].toInteger(), 30000);
    EXPECT_EQ(figures["reports"].toInt(), 1);
}

TEST(LiveView, AStatusChangeRestartsItsSinceAndALogoutLeavesThePicture) {
    Platform p;
    LiveViewModel model;
    FakeConsole console = p.console(1024, 4000);
    console.loginToReady(p.recorder);
    model.observe(*p.server, 5000);
    model.observe(*p.server, 9000);
    EXPECT_EQ(model.picture(*p.server, 9000)["consoles"][0]["since"].toInteger(), 5000);
    p.server->activeSession(1024)->status = 2;
    model.observe(*p.server, 12000);
    const QJsonValue seen = model.picture(*p.server, 12000)["consoles"][0];
    EXPECT_EQ(seen["since"].toInteger(), 12000);
    EXPECT_EQ(seen["login"].toInteger(), 5000);
    EXPECT_EQ(seen["status"].toString(), QString::fromUtf8("离开"));
    p.server->endSession(*p.server->activeSession(1024), "test");
    p.server->tick(p.nowMs);
    model.observe(*p.server, 13000);
    EXPECT_TRUE(model.picture(*p.server, 13000)["consoles"].toArray().isEmpty());
}

} // namespace
} // namespace talmor::server
