#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTest>

#include <set>

#include "console/backofficepages.h"
#include "console/calltabstrip.h"
#include "console/commandids.h"
#include "console/mainmenu.h"
#include "console/myworkdlg.h"
#include "console/paneslot.h"
#include "console/toolbuttonrows.h"
#include "support/consoleharness.h"
#include "widgets/skinbutton.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;
using testing::Gbk;
using testing::U;

constexpr PageTarget kWork = PageTarget::WorkPane;
constexpr PageTarget kBrowser = PageTarget::SystemBrowser;
constexpr char kInstallationId[] = "0123456789ABCDEFGHIJ";

struct Expected {
    int command;
    PageTarget target;
    // "@ID@" stands for the installation id.
    const char* url;
};

// Every page command with its address for operator 1024 on the deployment of TestDeployment.
const Expected kExpected[] = {
    {1006, kWork, "http://bo.test/user_call_check.aspx?manager_id=1024&randnum=@ID@"},
    {1008, kWork, "http://bo.test/createuser.aspx?manager_id=1024&randnum=@ID@"},
    {1009, kWork, "http://bo.test/createmanager.aspx?manager_id=1024&randnum=@ID@"},
    {1011, kWork, "http://bo.test/user_call_collect.aspx?manager_id=1024&randnum=@ID@"},
    {1014, kWork, "http://www.test/soft/default.aspx?ManagerID=1024&RandNum=@ID@"},
    {1016, kBrowser, "http://eval.test"},
    {1017, kWork, "http://bo.test/call_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {1018, kWork, "http://bo.test/ivr/ivrmanager.aspx?manager_id=1024&randnum=@ID@"},
    {1019, kWork, "http://bo.test/call_data_analyse.aspx?manager_id=1024&randnum=@ID@"},
    {1020, kWork, "http://bo.test/send_sms_log.aspx?manager_id=1024&randnum=@ID@"},
    {1023, kBrowser, "http://data.test"},
    {1024, kWork, "http://bo.test/recharge/rechargecenter.aspx?manager_id=1024&randnum=@ID@"},
    {1027, kWork, "http://bo.test/ecp/ecpAccountManager.aspx?manager_id=1024&randnum=@ID@"},
    {1028, kBrowser, "http://data.test/"},
    {1029, kWork, "http://bo.test/create_wait_approve_user.aspx?manager_id=1024&randnum=@ID@"},
    {1030, kWork, "http://bo.test/approve_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {1031, kWork, "http://bo.test/approve_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {1032, kBrowser, "http://mall.test"},
    {1033, kWork, "http://bo.test/hop_data_report.aspx?manager_id=1024&randnum=@ID@"},
    {1034, kWork, "http://bo.test/subfix/requestfix.aspx?manager_id=1024&randnum=@ID@"},
    {1035, kWork,
     "http://bo.test/recharge/Recharge_Seller_Report.aspx?manager_id=1024&randnum=@ID@"},
    {1036, kWork,
     "http://bo.test/recharge/Distribute_User_Report.aspx?manager_id=1024&randnum=@ID@"},
    {1037, kWork, "http://bo.test/life_box/box.html?manager_id=1024&randnum=@ID@"},
    {1038, kWork, "http://bo.test/flashchart/chart_setup.aspx?manager_id=1024&randnum=@ID@"},
    {1039, kWork, "http://bo.test/flashchart/chart_servertype.aspx?manager_id=1024&randnum=@ID@"},
    {1040, kWork, "http://bo.test/flashchart/chart_call.aspx?manager_id=1024&randnum=@ID@"},
    {1041, kWork, "http://bo.test/userarea.aspx?manager_id=1024&randnum=@ID@"},
    {1042, kWork, "http://bo.test/sellerearnings.aspx?manager_id=1024&randnum=@ID@"},
    {1063, kWork, "http://bo.test/map/index.aspx?manager_id=1024&randnum=@ID@"},
    {32828, kWork, "http://bo.test/updatepasswd.aspx?manager_id=1024&user_id=1024&randnum=@ID@"},
    {32829, kWork, "http://bo.test/updatemanager.aspx?manager_id=1024&user_id=1024&randnum=@ID@"},
    {32892, kWork, "http://hotel.test/book"},
    {32894, kWork, "http://flight.test/book"},
    {32925, kWork, "http://bo.test/createuser.aspx?manager_id=1024&randnum=@ID@"},
    {32934, kWork, "http://bo.test/call_12m_chart.aspx?manager_id=1024&randnum=@ID@"},
    {32935, kWork, "http://bo.test/call_data_analyse.aspx?manager_id=1024&randnum=@ID@"},
    {32936, kWork, "http://bo.test/join_12m_chart.aspx?manager_id=1024&randnum=@ID@"},
    {32940, kWork, "http://bo.test/user_call_collect.aspx?manager_id=1024&randnum=@ID@"},
    {32946, kWork, "http://bo.test/setup_list.aspx?manager_id=1024&randnum=@ID@"},
    {32947, kWork, "http://bo.test/createseller.aspx?manager_id=1024&randnum=@ID@"},
    {32948, kWork, "http://bo.test/createmanager.aspx?manager_id=1024&randnum=@ID@"},
    {32953, kWork, "http://bo.test/user_call_check.aspx?manager_id=1024&randnum=@ID@"},
    {32992, kWork, "http://www.test/help/help_telephone.aspx?managerid=1024"},
    {33008, kWork, "http://bo.test/createfranchisee.aspx?manager_id=1024&randnum=@ID@"},
    {33009, kWork, "http://bo.test/franchisee_list.aspx?manager_id=1024&randnum=@ID@"},
    {33047, kWork, "http://bo.test/call_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {33051, kWork, "http://bo.test/manager_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {33058, kWork, "http://bo.test/seller_list.aspx?manager_id=1024&randnum=@ID@"},
    {33059, kWork, "http://bo.test/createsetup.aspx?manager_id=1024&randnum=@ID@"},
    {33069, kWork, "http://bo.test/send_sms_log.aspx?manager_id=1024&randnum=@ID@"},
    {33072, kWork, "http://bo.test/special_inform_check.aspx?manager_id=1024&randnum=@ID@"},
    {33074, kWork, "http://bo.test/send_sms_check.aspx?manager_id=1024&randnum=@ID@"},
    {33077, kWork, "http://bo.test/user_birthday_list.aspx?manager_id=1024&randnum=@ID@"},
    {33081, kWork, "http://www.test/teach/index.htm"},
    {33084, kWork, "http://train.test/timetable"},
    {33086, kWork, "http://shop.test"},
    {33100, kWork, "http://shop.test/life.html"},
    {33106, kWork, "http://bo.test/create_wait_approve_user.aspx?manager_id=1024&randnum=@ID@"},
    {33107, kWork, "http://bo.test/approve_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {33116, kWork, "http://bo.test/hop_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {33117, kWork, "http://bo.test/createhop.aspx?manager_id=1024&randnum=@ID@"},
    {33119, kWork, "http://www.test/warm/index.html"},
    {33128, kWork, "http://bo.test/blockcalllist.aspx?manager_id=1024&randnum=@ID@"},
    {33140, kWork, "http://bo.test/chuqing_report.aspx?manager_id=1024&randnum=@ID@&wstatus=1"},
    {33143, kWork, "http://bo.test/hop_data_report.aspx?manager_id=1024&randnum=@ID@"},
    {33145, kWork, "http://bo.test/requpdate/wait_update_user.aspx?manager_id=1024&randnum=@ID@"},
    {33147, kWork, "http://bo.test/hopapprove/hop_apporver.aspx?manager_id=1024&randnum=@ID@"},
    {33153, kWork,
     "http://bo.test//recharge/Recharge_User_Report.aspx?manager_id=1024&randnum=@ID@"},
    {33154, kWork,
     "http://bo.test//recharge/Recharge_Setup_Report.aspx?manager_id=1024&randnum=@ID@"},
    {33155, kWork,
     "http://bo.test//recharge/Recharge_Seller_Report.aspx?manager_id=1024&randnum=@ID@"},
    {33159, kWork,
     "http://bo.test//recharge/Distribute_User_Report.aspx?manager_id=1024&randnum=@ID@"},
    {33160, kWork,
     "http://bo.test//recharge/Distribute_Setup_Report.aspx?manager_id=1024&randnum=@ID@"},
    {33162, kWork, "http://bo.test/RecentNotCall.aspx?manager_id=1024&randnum=@ID@"},
    {33164, kWork, "http://bo.test/franchisee/arrearage_report.aspx?manager_id=1024&randnum=@ID@"},
    {33170, kWork, "http://bo.test/subfix/ReqOperationReport.aspx?manager_id=1024&randnum=@ID@"},
    {33171, kWork, "http://bo.test/subfix/requestfix.aspx?manager_id=1024&randnum=@ID@"},
    {33173, kWork, "http://bo.test/ecp/ecpAccountManager.aspx?manager_id=1024&randnum=@ID@"},
    {33175, kBrowser, "http://eval.test"},
    {33177, kWork, "http://bo.test/ivr/ivrmanager.aspx?manager_id=1024&randnum=@ID@"},
    {33182, kWork, "http://bo.test/call_user_app_open_list.aspx?manager_id=1024&randnum=@ID@"},
    {33184, kWork, "http://bo.test/app_family_apply_list.aspx?manager_id=1024&randnum=@ID@"},
    {32955, kWork, "http://www.test/soft/OrgClientSearch.aspx"},
    {32963, kWork, "http://www.test/soft/CallFreeService.aspx?ManagerID=1024&PageID=1"},
    {32964, kWork, "http://www.test/soft/CallTestService.aspx?ManagerID=1024&PageID=1"},
    {32966, kWork, "http://www.test/soft/CallPayService.aspx?ManagerID=1024&PageID=1"},
    {32967, kWork, "http://www.test/soft/CallTelComService.aspx?ManagerID=1024&PageID=1"},
    {32968, kWork, "http://www.test/soft/CallMobileService.aspx?ManagerID=1024&PageID=1"},
    {32969, kWork, "http://www.test/soft/CallUnComService.aspx?ManagerID=1024&PageID=1"},
    {32975, kWork, "http://www.test/soft/ManagerUserResult01.aspx?ManagerID=1024&PageID=1"},
    {32978, kWork, "http://www.test/soft/CallBankService01.aspx?ManagerID=1024&PageID=1"},
    {32983, kWork, "http://www.test/soft/CallBankService02.aspx?ManagerID=1024&PageID=1"},
    {32984, kWork, "http://www.test/soft/CallBankService03.aspx?ManagerID=1024&PageID=1"},
    {32985, kWork, "http://www.test/soft/CallBankService04.aspx?ManagerID=1024&PageID=1"},
    {32986, kWork, "http://www.test/soft/CallBankService05.aspx?ManagerID=1024&PageID=1"},
    {32987, kWork, "http://www.test/soft/CallOrgService.aspx?ManagerID=1024&PageID=1"},
    {33002, kWork, "http://www.test/soft/orgchild.aspx?ManagerID=1024"},
    {33016, kBrowser, "http://office.test:8080/index.php"},
    {33017, kBrowser, "http://mail.test"},
    {33030, kWork, "http://bo.test/user_housekeeper1_chart.aspx?manager_id=1024&randnum=@ID@"},
    {33031, kWork, "http://bo.test/user_housekeeper2_chart.aspx?manager_id=1024&randnum=@ID@"},
    {33032, kWork, "http://bo.test/user_housekeeper3_chart.aspx?manager_id=1024&randnum=@ID@"},
    {33033, kWork, "http://bo.test/user_housekeeper4_chart.aspx?manager_id=1024&randnum=@ID@"},
    {33034, kWork, "http://bo.test/user_housekeeper1_collect.aspx?manager_id=1024&randnum=@ID@"},
    {33035, kWork, "http://bo.test/user_housekeeper2_collect.aspx?manager_id=1024&randnum=@ID@"},
    {33036, kWork, "http://bo.test/user_housekeeper3_collect.aspx?manager_id=1024&randnum=@ID@"},
    {33037, kWork, "http://bo.test/user_housekeeper4_collect.aspx?manager_id=1024&randnum=@ID@"},
    {33071, kWork, "http://bo.test/mobile_equipment_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {33079, kWork, "http://bo.test/user_housekeeper5_collect.aspx?manager_id=1024&randnum=@ID@"},
    {33080, kWork, "http://bo.test/user_housekeeper5_chart.aspx?manager_id=1024&randnum=@ID@"},
    {33093, kWork, "http://bo.test/user_call_other1.aspx?manager_id=1024&randnum=@ID@"},
    {33094, kWork, "http://bo.test/user_call_other2.aspx?manager_id=1024&randnum=@ID@"},
    {33102, kWork, "http://bo.test/lc_pager_user_list.aspx?manager_id=1024&randnum=@ID@"},
    {33133, kWork, "http://bo.test/attendance.aspx?manager_id=1024&randnum=@ID@&wstatus=1"},
    {33136, kWork, "http://bo.test/attendance.aspx?manager_id=1024&randnum=@ID@&wstatus=2"},
    {33137, kWork, "http://bo.test/attendance.aspx?manager_id=1024&randnum=@ID@&wstatus=3"},
    {33168, kWork,
     "http://bo.test/forgetpwd/forgetpassword?manager_id=1024&user_id=1024&randnum=@ID@"},
};

Deployment TestDeployment() {
    Deployment d;
    d.backOfficeHost = "bo.test";
    d.publicSite = "http://www.test";
    d.shoppingSite = "http://shop.test";
    d.dataSite = "http://data.test";
    d.mallSite = "http://mall.test";
    d.mailSite = "http://mail.test";
    d.officeSite = "http://office.test:8080";
    d.evaluationSite = "http://eval.test";
    d.callOutService = "http://ecp.test";
    d.hotelPage = "http://hotel.test/book";
    d.flightPage = "http://flight.test/book";
    d.trainPage = "http://train.test/timetable";
    return d;
}

QString WithId(const char* url, const std::string& installationId) {
    return QString::fromUtf8(url).replace("@ID@", QString::fromStdString(installationId));
}

TEST(BackOfficePagesTest, EveryCommandBuildsItsAddressForItsTarget) {
    const Deployment d = TestDeployment();
    std::set<int> expected;
    for (const Expected& e : kExpected) {
        expected.insert(e.command);
        const BackOfficePage* page = FindBackOfficePage(e.command);
        ASSERT_NE(page, nullptr) << e.command;
        EXPECT_EQ(page->target, e.target) << e.command;
        const QUrl url = BuildPageUrl(*page, d, d.backOfficeBase(), 1024, kInstallationId);
        EXPECT_EQ(QString::fromUtf8(url.toEncoded()), WithId(e.url, kInstallationId)) << e.command;
    }
    std::set<int> table;
    for (const BackOfficePage& page : BackOfficePages()) {
        EXPECT_TRUE(table.insert(page.command).second) << "twice: " << page.command;
    }
    EXPECT_EQ(table, expected);
}

TEST(BackOfficePagesTest, MenuItemsCarryTheirCaptionsAndButtonsTheirTooltips) {
    ConsoleHarness h;
    const struct {
        int command;
        const char* caption;
    } items[] = {{32925, "创建呼叫客户(&N)"},
                 {33069, "短信日志"},
                 {33107, "居家养老服务申报汇总"},
                 {33153, "用户充值报表"},
                 {33081, "使用手册"},
                 {33175, "居家养老评估"},
                 {32828, "修改登录密码(&P)"},
                 {33184, "为家人申请开通呼叫汇总"}};
    for (const auto& item : items) {
        QAction* action = h.window().mainMenu().action(item.command);
        ASSERT_NE(action, nullptr) << item.command;
        EXPECT_EQ(action->text(), U(item.caption));
    }
    // Commands of the command map alone carry no menu item.
    for (int command : {32955, 32963, 33016, 33017, 33030, 33133, 33168}) {
        EXPECT_EQ(h.window().mainMenu().action(command), nullptr) << command;
    }
    EXPECT_EQ(h.window().buttons().button(1018)->toolTip(),
              U("本功能可同时向2000个老人/居民自动语音通知"));
    // The help popup stays last.
    EXPECT_EQ(h.window().menuBar()->actions().back()->text(), U("帮助(&H)"));
}

// The console shows what every command opens, in the work pane or in the system browser.
TEST(BackOfficeWindowTest, EveryCommandOpensItsPageWhereItBelongs) {
    ConsoleHarness h(TestDeployment());
    h.login();
    const std::string id = h.window().installationId();
    ASSERT_EQ(id.size(), 20u);
    for (const Expected& e : kExpected) {
        h.window().workPane().navigate(QUrl());
        h.window().tabStrip().select(0, h.window().seatRights());
        h.ui.opened.clear();
        h.window().onCommand(e.command);
        if (e.target == kWork) {
            EXPECT_EQ(QString::fromUtf8(h.window().workPane().requested().toEncoded()),
                      WithId(e.url, id))
                << e.command;
            EXPECT_TRUE(h.ui.opened.empty()) << e.command;
            EXPECT_EQ(h.window().tabStrip().currentTab(), h.window().tabStrip().tabs().workTab())
                << e.command;
            EXPECT_TRUE(h.window().tabStrip().workPane()->isVisibleTo(&h.window())) << e.command;
        } else {
            ASSERT_EQ(h.ui.opened.size(), 1u) << e.command;
            EXPECT_EQ(QString::fromUtf8(h.ui.opened[0].toEncoded()), WithId(e.url, id))
                << e.command;
            EXPECT_TRUE(h.window().workPane().requested().isEmpty()) << e.command;
        }
    }
}

TEST(BackOfficeWindowTest, SmsLogShowsInTheWorkTab) {
    ConsoleHarness h(TestDeployment());
    h.login();
    h.window().onCommand(33069);
    EXPECT_EQ(h.window().workPane().requested().toString(),
              QString::fromStdString("http://bo.test/send_sms_log.aspx?manager_id=1024&randnum=" +
                                     h.window().installationId()));
    QTabBar* bar = h.window().tabStrip().bar();
    EXPECT_EQ(bar->tabText(bar->currentIndex()), U("当前操作"));
}

bool Enabled(CTalmorManagerDlg& window, int command) {
    for (QAction* popup : window.menuBar()->actions()) {
        window.mainMenu().applyRules(popup->menu());
    }
    return window.mainMenu().action(command)->isEnabled();
}

struct RuleCase {
    const char* name;
    std::vector<int> rights;
    uint32_t scopeKind;
    std::vector<int> enabled;
    std::vector<int> disabled;
};

TEST(BackOfficeWindowTest, MenuItemsFollowReadinessRightsAndScope) {
    const RuleCase cases[] = {
        {"all rights, area", {}, 0, {32925, 32940, 33008, 33059, 33106, 33107, 33116, 32946}, {}},
        {"no rights, area",
         {45},
         0,
         {32828, 33069, 32946, 33009, 33116, 33117, 33143, 33164, 33119, 33100},
         {32925, 32940, 32947, 32948, 33008, 33059, 33106, 33107}},
        {"organisation scope",
         {0, 1, 2, 6, 12, 18, 47, 48, 49},
         1,
         {32925, 32947, 32948, 32940, 33106, 33069},
         {32946, 33008, 33009, 33059, 33107, 33116, 33117, 33143, 33164}},
        {"one of 48 and 49 is enough", {49}, 0, {33107}, {33106}},
        {"18 without area is not enough", {18}, 1, {}, {33008}},
    };
    for (const RuleCase& c : cases) {
        ConsoleHarness h;
        UserRecord profile = ConsoleHarness::Operator();
        profile.scopeKind = c.scopeKind;
        h.login(c.rights.empty() ? ConsoleHarness::AllRights()
                                 : ConsoleHarness::OnlyRights(c.rights),
                profile);
        for (int command : c.enabled) {
            EXPECT_TRUE(Enabled(h.window(), command)) << c.name << ": " << command;
        }
        for (int command : c.disabled) {
            EXPECT_FALSE(Enabled(h.window(), command)) << c.name << ": " << command;
        }
        // Items without a rule never turn grey.
        for (int command : {32892, 32894, 33081, 33084, 33086, 33175, 33177}) {
            EXPECT_TRUE(Enabled(h.window(), command)) << c.name << ": " << command;
        }
    }
}

TEST(BackOfficeWindowTest, BeforeTheLoginOnlyItemsWithoutARuleAreEnabled) {
    ConsoleHarness h;
    for (const BackOfficePage& page : BackOfficePages()) {
        if (page.popup != nullptr) {
            EXPECT_EQ(Enabled(h.window(), page.command), !page.rule.has_value()) << page.command;
        }
    }
}

TEST(BackOfficeWindowTest, ACommandWithoutItsRightDoesNothing) {
    struct Case {
        int command;
        std::vector<int> rights; // granted: enough for the item's rule, not for the run check
        int missing;             // the right that lets it run
    };
    const Case cases[] = {
        {1008, {}, 0},  {1009, {}, 2},    {32925, {0}, -1}, {32947, {}, 1},
        {32948, {}, 2}, {33059, {12}, 0}, {33106, {47}, 0},
    };
    for (const Case& c : cases) {
        for (bool withRight : {false, true}) {
            std::vector<int> rights = c.rights;
            if (withRight && c.missing >= 0) {
                rights.push_back(c.missing);
            }
            if (!withRight && c.missing < 0) {
                rights.clear();
            }
            ConsoleHarness h(TestDeployment());
            h.login(ConsoleHarness::OnlyRights(rights));
            h.window().onCommand(c.command);
            EXPECT_EQ(h.window().workPane().requested().isEmpty(), !withRight)
                << c.command << (withRight ? " with" : " without") << " its right";
            EXPECT_TRUE(h.ui.opened.empty());
        }
    }
}

TEST(BackOfficeWindowTest, ButtonsOfMissingRightsTurnGreyAtLogin) {
    ConsoleHarness h;
    h.login(ConsoleHarness::OnlyRights({2}));
    EXPECT_FALSE(h.window().buttons().button(1008)->isEnabled());
    EXPECT_TRUE(h.window().buttons().button(1009)->isEnabled());
    EXPECT_FALSE(h.window().buttons().button(1011)->isEnabled());
}

TEST(BackOfficeWindowTest, NavigationButtonsSelectTheWorkTabFirst) {
    ConsoleHarness h(TestDeployment());
    h.login();
    for (int command :
         {cmd::kButtonBack, cmd::kButtonForward, cmd::kButtonRefresh, cmd::kButtonHome}) {
        h.window().tabStrip().select(0, h.window().seatRights());
        h.window().onCommand(command);
        EXPECT_EQ(h.window().tabStrip().currentTab(), h.window().tabStrip().tabs().workTab())
            << command;
    }
    EXPECT_EQ(h.window().workPane().requested().toString(),
              QString::fromStdString("http://www.test/soft/default.aspx?ManagerID=1024&RandNum=" +
                                     h.window().installationId()));
}

TEST(BackOfficeWindowTest, TheLogoOpensThePublicSiteInTheSystemBrowser) {
    ConsoleHarness h(TestDeployment());
    h.login();
    ToolButtonRows& rows = h.window().buttons();
    QTest::mouseClick(&rows, Qt::LeftButton, {}, QPoint(rows.width() - 40, 16));
    ASSERT_EQ(h.ui.opened.size(), 1u);
    EXPECT_EQ(h.ui.opened[0], QUrl("http://www.test/"));
    QTest::mouseClick(&rows, Qt::LeftButton, {}, QPoint(rows.width() - 120, 16));
    EXPECT_EQ(h.ui.opened.size(), 1u) << "outside the logo area";
}

TEST(BackOfficeWindowTest, TheInstallationIdStaysThroughReconnects) {
    ConsoleHarness h(TestDeployment());
    EXPECT_TRUE(h.window().installationId().empty());
    h.login();
    const std::string first = h.window().installationId();
    h.window().SetOffline();
    h.window().SetOnline();
    h.loginReply();
    EXPECT_EQ(h.window().installationId(), first);
}

} // namespace
} // namespace talmor
