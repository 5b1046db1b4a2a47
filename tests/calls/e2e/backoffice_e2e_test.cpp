// The training server's back-office pages and live view in the browser engine: the console's
// work pane opens them at the addresses it builds, and a trainer's view follows the calls.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/handlingmenu.h"
#include "calls/procdlg.h"
#include "calls/proclistmodel.h"
#include "calls/specialsmssend.h"
#include "console/myworkdlg.h"
#include "console/paneslot.h"
#include "console/talmormanagerdlg.h"
#include "console/webpane.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/liveconsole.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor::e2e {
namespace {

constexpr int kTimeoutMs = 30000;
constexpr int kHelp = 0;
constexpr int kSos = 1;
// The toolbar's back-office buttons: 处理记录, 短信日志, 创建呼叫客户.
constexpr int kCallRecords = 1011;
constexpr int kSmsLog = 1020;
constexpr int kCreateSubscriber = 1008;

// What a script in a page answers (an invalid value when the page never answers).
QVariant evaluate(QWebEnginePage* page, const QString& script) {
    auto answer = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
    waitFor([&] { return answer->has_value(); }, kTimeoutMs);
    return answer->value_or(QVariant());
}

class BackOfficeEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
        console = std::make_unique<LiveConsole>(server.udpPort(), server.httpPort(), true);
        console->login(1024, "talmor1024");
        ASSERT_TRUE(waitFor([&] { return console->ready(); }, kTimeoutMs));
    }
    void TearDown() override { console.reset(); }

    uint32_t inject(const QString& query) {
        const auto answer = control->post("/api/calls/inject?" + query);
        return answer ? static_cast<uint32_t>(answer->object().value("callId").toInt()) : 0;
    }
    // Selects a call in a pane and takes it.
    void take(int pane, uint32_t id) {
        CCallPane& calls = console->intake().pane(pane);
        ASSERT_TRUE(waitFor([&] { return calls.model().holds(id); }, kTimeoutMs));
        for (int row = 0; row < calls.model().rowCount(); ++row) {
            if (calls.model().record(row).callId == id) {
                calls.view()->selectRow(row);
            }
        }
        calls.takeSelectedCall();
    }
    CProcDlg& list() { return *dynamic_cast<CProcDlg*>(console->window().processPane().pane()); }

    // Opens a toolbar page in the work pane and waits for its title.
    QWebEnginePage* open(int command, const QString& title) {
        console->window().onCommand(command);
        WebPane* pane = console->window().workPane().browser();
        if (pane == nullptr) {
            ADD_FAILURE() << "the work pane has no browser";
            return nullptr;
        }
        QWebEngineView* view = pane->view();
        EXPECT_TRUE(waitFor([&] { return view->title() == title; }, kTimeoutMs))
            << "the work pane shows " << view->title().toStdString() << " at "
            << view->url().toString().toStdString();
        return view->page();
    }

    ServerProcess server;
    std::unique_ptr<ControlClient> control;
    std::unique_ptr<LiveConsole> console;
};

TEST_F(BackOfficeEndToEnd, AReportFiledByTheConsoleShowsInTheCallRecordsAndTheSmsLog) {
    const uint32_t id = inject("category=0&user=2001");
    ASSERT_GT(id, 0u);
    take(kHelp, id);
    ASSERT_TRUE(waitFor([&] { return list().model().holds(id); }, kTimeoutMs));
    list().view()->selectRow(list().model().rowOf(id));
    list().runCommand(kCmdFamilySms);
    auto* sms = dynamic_cast<CSpecialSmsSend*>(
        console->window().findWindow(CSpecialSmsSend::kWindowType, id, 0));
    ASSERT_NE(sms, nullptr);
    ASSERT_TRUE(waitFor([&] { return sms->familyTree()->topLevelItemCount() == 2; }, kTimeoutMs));
    sms->familyTree()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    // Markup in a report is shown as the text it is.
    const QString report = QString::fromUtf8("已通知家属<b>上门</b>查看");
    sms->edit()->setPlainText(report);
    for (QPushButton* button : sms->findChildren<QPushButton*>()) {
        if (button->text() == QString::fromUtf8("确定(&S)")) {
            button->click();
        }
    }
    ASSERT_TRUE(waitFor([&] { return !list().model().holds(id); }, kTimeoutMs));

    QWebEnginePage* records = open(kCallRecords, QString::fromUtf8("处理记录"));
    ASSERT_NE(records, nullptr);
    const QString row = QString("document.querySelector('tr[data-call=\"%1\"]')").arg(id);
    EXPECT_EQ(evaluate(records, row + ".querySelector('.report').textContent").toString(), report);
    const QString cells = evaluate(records, row + ".textContent").toString();
    EXPECT_TRUE(cells.contains(QString::fromUtf8("已报告"))) << cells.toStdString();
    EXPECT_TRUE(cells.contains(QString::fromUtf8("1024"))) << cells.toStdString();
    EXPECT_TRUE(cells.contains(QString::fromUtf8("张建国"))) << cells.toStdString();
    // Newest first: the reported call heads the list of the help category.
    records->runJavaScript("document.querySelector('select[name=category]').value = '0';"
                           "document.querySelector('form').submit();");
    ASSERT_TRUE(waitFor(
        [&] {
            return evaluate(records, "location.search.indexOf('category=0') >= 0 && "
                                     "document.querySelector('tr.call').dataset.call")
                       .toString() == QString::number(id);
        },
        kTimeoutMs));
    EXPECT_EQ(evaluate(records, "document.querySelectorAll('tr.call').length").toInt(),
              evaluate(records, "[...document.querySelectorAll('tr.call')].filter("
                                "r => r.cells[1].textContent === '求助呼叫').length")
                  .toInt());

    QWebEnginePage* texts = open(kSmsLog, QString::fromUtf8("短信日志"));
    ASSERT_NE(texts, nullptr);
    const QString first =
        evaluate(texts, "document.querySelector('tr.text').textContent").toString();
    EXPECT_TRUE(first.contains("13600002001")) << first.toStdString();
    EXPECT_TRUE(first.contains(report)) << first.toStdString();
    EXPECT_TRUE(first.contains(QString::number(id))) << first.toStdString();
}

TEST_F(BackOfficeEndToEnd, ASubscriberCreatedThroughTheFormRaisesCallsThatReachTheConsole) {
    QWebEnginePage* form = open(kCreateSubscriber, QString::fromUtf8("创建呼叫客户"));
    ASSERT_NE(form, nullptr);
    const QString fill = QString::fromUtf8(
        "{ const f = document.getElementById('create');"
        "f.name.value = '赵桂芳'; f.querySelector('input[name=sex][value=\"2\"]').checked = true;"
        "f.age.value = '%1'; f.mobile.value = '13912345678'; f.address.value = '科技园社区8栋101';"
        "f.family1_name.value = '赵强（儿子）'; f.family1_phone.value = '13912340000';"
        "document.getElementById('result').textContent = '';"
        "f.requestSubmit(); }");
    // A bad age is refused with its message on the page, and nothing is stored.
    form->runJavaScript(fill.arg("abc"));
    ASSERT_TRUE(waitFor(
        [&] {
            return evaluate(form, "document.getElementById('result').className").toString() ==
                   "error";
        },
        kTimeoutMs));
    EXPECT_EQ(evaluate(form, "document.getElementById('result').textContent").toString(),
              QString::fromUtf8("年龄应为0到130的整数。"));
    form->runJavaScript(fill.arg("81"));
    QString created;
    ASSERT_TRUE(waitFor(
        [&] {
            created =
                evaluate(form, "document.getElementById('result').dataset.id || ''").toString();
            return !created.isEmpty();
        },
        kTimeoutMs))
        << evaluate(form, "document.getElementById('result').textContent").toString().toStdString();
    const uint32_t subscriber = created.toUInt();
    // The refused attempt took no id: the new subscriber follows the seed's last.
    EXPECT_EQ(subscriber, 2125u);

    // Through the control API at once...
    const uint32_t id = inject(QString("category=1&user=%1").arg(subscriber));
    ASSERT_GT(id, 0u);
    CCallPane& sos = console->intake().pane(kSos);
    ASSERT_TRUE(waitFor([&] { return sos.model().holds(id); }, kTimeoutMs));
    for (int row = 0; row < sos.model().rowCount(); ++row) {
        if (sos.model().record(row).callId == id) {
            EXPECT_EQ(sos.model().record(row).mobile, "13912345678");
        }
    }
    // ... and through the scenario generator.
    ASSERT_TRUE(control->post(
        QString("/api/scenario?intervalMs=200&categories=0:1&users=%1").arg(subscriber)));
    CCallPane& help = console->intake().pane(kHelp);
    EXPECT_TRUE(waitFor(
        [&] {
            for (int row = 0; row < help.model().rowCount(); ++row) {
                if (help.model().record(row).userId == subscriber) {
                    return true;
                }
            }
            return false;
        },
        kTimeoutMs));
    ASSERT_TRUE(control->post("/api/scenario?intervalMs=0"));
}

TEST_F(BackOfficeEndToEnd, TheLiveViewShowsAnInjectedCallAtOnceAndMovesItToTakenWhenTaken) {
    QWebEngineView view;
    view.resize(1000, 800);
    view.load(QUrl(QString("http://127.0.0.1:%1/supervisor").arg(server.httpPort())));
    QWebEnginePage* page = view.page();
    const auto updates = [&] {
        return evaluate(page, "Number(document.body && document.body.dataset.updates || 0)")
            .toInt();
    };
    ASSERT_TRUE(waitFor([&] { return updates() > 0; }, kTimeoutMs));
    page->runJavaScript("window.loadedOnce = 7;");
    // The seed's oldest SOS call waits 5 minutes: red, as on the console's status line; a help
    // call's wait is never coloured.
    EXPECT_EQ(evaluate(page, "document.querySelector('#waiting tr[data-category=\"1\"]').className")
                  .toString(),
              "red");
    EXPECT_EQ(evaluate(page, "document.querySelector('#waiting tr[data-category=\"0\"]').className")
                  .toString(),
              "");
    // Operator 1024 shows as logged in.
    EXPECT_TRUE(waitFor(
        [&] {
            return evaluate(page,
                            "!!document.querySelector('#consoles tr[data-operator=\"1024\"]')")
                .toBool();
        },
        kTimeoutMs));
    const QString sosCount = "Number((document.querySelector('#waiting tr[data-category=\"1\"] "
                             ".count') || {textContent: '0'}).textContent)";
    const int before = evaluate(page, sosCount).toInt();

    QElapsedTimer clock;
    clock.start();
    const uint32_t id = inject("category=1&user=2001");
    ASSERT_GT(id, 0u);
    ASSERT_TRUE(
        waitFor([&] { return evaluate(page, sosCount).toInt() == before + 1; }, kTimeoutMs));
    const qint64 shownAfterMs = clock.elapsed();
    std::printf("live view: the injected call showed after %lld ms\n",
                static_cast<long long>(shownAfterMs));
    // The server pushes within a quarter second; the rest is the browser engine on a busy
    // machine.
    EXPECT_LT(shownAfterMs, 3000);

    take(kSos, id);
    const QString takenRow =
        QString("document.querySelector('#taken tr[data-call=\"%1\"]')").arg(id);
    ASSERT_TRUE(waitFor([&] { return evaluate(page, "!!" + takenRow).toBool(); }, kTimeoutMs));
    EXPECT_TRUE(evaluate(page, takenRow + ".textContent").toString().contains("1024"));
    EXPECT_EQ(evaluate(page, sosCount).toInt(), before);
    EXPECT_EQ(evaluate(page, "document.querySelector('#operators tr[data-operator=\"1024\"] "
                             ".taken').textContent")
                  .toString(),
              "1");
    // All of it without a reload: the mark set in the first load is still there.
    EXPECT_EQ(evaluate(page, "window.loadedOnce").toInt(), 7);
}

} // namespace
} // namespace talmor::e2e
