// The search wizards end to end: operator 1024's console, in process on real sockets, against
// a quorvane-server with the demo seed (its area holds more subscribers, providers and
// colleagues than one reply carries). What the console asked is read back from the server's
// request log.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <algorithm>
#include <memory>

#include "console/commandids.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "kit/resultlistmodel.h"
#include "messaging/contactpart.h"
#include "messaging/messagingparts.h"
#include "messaging/searchconditionsdlg.h"
#include "messaging/searchresultsdlg.h"
#include "messaging/searchwizarddlg.h"
#include "protocol/commands.h"
#include "protocol/queryrecords.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/fakeui.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"
#include "support/wire.h"

namespace talmor {
namespace {

using e2e::waitFor;
using testing::Gbk;
using testing::U;

constexpr int kWaitMs = 10000;
// The console's clock and timers run this much faster: a request times out after six to eight
// seconds, while a loaded machine still answers every request well within a retransmission.
constexpr int kTimeFactor = 5;
constexpr int kTimeOutWaitMs = 30000;
constexpr uint32_t kDefaultGroup = 101; // the first group the server lists for 1024

class SearchEndToEnd : public ::testing::Test {
protected:
    SearchEndToEnd()
        : environment(kTimeFactor, [this](int id) {
              if (window) {
                  window->onTimer(id);
              }
          }) {}

    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral(TALMOR_DEMO_SEED), error)) << error.toStdString();
        control = std::make_unique<e2e::ControlClient>(server.httpPort());
        setApplicationFolders({folder.path(), folder.path()});
        Deployment deployment;
        deployment.port = server.udpPort();
        deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(server.httpPort());
        window = std::make_unique<CTalmorManagerDlg>(
            ConsoleEnvironment{environment.sockets, environment.resolver, environment.timers,
                               environment.clock, environment.random},
            deployment, ui, false);
        InstallMessagingParts(*window);
        contacts = dynamic_cast<ContactPart*>(window->routes().contacts);
        ASSERT_TRUE(window->StartLogin(1024, "talmor1024"));
        ASSERT_TRUE(waitFor([this] { return window->ready(); }, kWaitMs))
            << server.output().toStdString();
    }

    void TearDown() override {
        window.reset();
        server.stop();
    }

    CSearchWizardDlg* open(int command, uint32_t frameType) {
        window->onCommand(command);
        return dynamic_cast<CSearchWizardDlg*>(window->findWindow(frameType, 0, 0));
    }
    template <typename T> T* field(CSearchWizardDlg* wizard, int id) {
        return wizard->findChild<T*>(QString::number(id));
    }
    // The bodies of operator 1024's requests with `command`, in order.
    std::vector<QByteArray> logged(uint16_t command) {
        return control->loggedBodies(1024, command);
    }
    template <typename Search> Search loggedSearch(uint16_t command, std::size_t index) {
        const QByteArray body = logged(command).at(index);
        testing::BodyReader reader(testing::Bytes(body.begin(), body.end()));
        return Search::read(reader.in());
    }
    std::vector<uint32_t> shown(CSearchWizardDlg* wizard) {
        std::vector<uint32_t> ids;
        ResultListModel& rows = wizard->results().rows();
        for (int row = 0; row < rows.rowCount(); ++row) {
            ids.push_back(rows.idAt(row));
        }
        return ids;
    }
    bool answered(CSearchWizardDlg* wizard) { return !wizard->results().waiting(); }
    void select(CSearchWizardDlg* wizard, uint32_t id) {
        QTableView& list = wizard->results().list();
        const std::vector<uint32_t> ids = shown(wizard);
        const auto at = std::find(ids.begin(), ids.end(), id);
        ASSERT_NE(at, ids.end()) << id;
        list.selectionModel()->select(list.model()->index(static_cast<int>(at - ids.begin()), 0),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
    }
    // An exact search for `account` that has been answered.
    CSearchWizardDlg* exactSearch(int command, uint32_t frameType, uint32_t account) {
        CSearchWizardDlg* wizard = open(command, frameType);
        field<QLineEdit>(wizard, 1082)->setText(QString::number(account));
        wizard->conditions().nextButton().click();
        EXPECT_TRUE(waitFor([&] { return answered(wizard); }, kWaitMs));
        return wizard;
    }

    testing::TempFolder folder;
    e2e::ServerProcess server;
    e2e::ConsoleEnvironment environment;
    testing::FakeUi ui;
    std::unique_ptr<CTalmorManagerDlg> window;
    ContactPart* contacts = nullptr;
    std::unique_ptr<e2e::ControlClient> control;
};

void ExpectScope(const std::array<std::string, 5>& area) {
    EXPECT_EQ(area, (std::array<std::string, 5>{Gbk("广东省"), Gbk("深圳市"), Gbk("南山区"),
                                                Gbk("粤海街道"), Gbk("科技园社区")}));
}

TEST_F(SearchEndToEnd, SubscribersArePagedAndOnlyPagesNotStoredAreAskedFor) {
    CSearchWizardDlg* wizard = open(cmd::kAddSubscriber, 29);
    ASSERT_NE(wizard, nullptr);
    field<QRadioButton>(wizard, 1106)->click();
    wizard->conditions().nextButton().click();
    ASSERT_TRUE(waitFor([&] { return answered(wizard) && !shown(wizard).empty(); }, kWaitMs));
    const std::vector<uint32_t> first = shown(wizard);
    ASSERT_EQ(first.size(), 20u) << "a whole reply of the server";
    UserSearch asked = loggedSearch<UserSearch>(CMD_SEARCH_USERS, 0);
    ExpectScope({asked.province, asked.city, asked.district, asked.street, asked.community});
    EXPECT_EQ(asked.cursor, 0u);

    wizard->results().nextButton().click();
    ASSERT_TRUE(waitFor([&] { return answered(wizard) && shown(wizard) != first; }, kWaitMs));
    const std::vector<uint32_t> second = shown(wizard);
    EXPECT_GT(second.front(), first.back());
    EXPECT_EQ(loggedSearch<UserSearch>(CMD_SEARCH_USERS, 1).cursor, first.back());

    // Back and forth through what is stored: nothing more is asked.
    wizard->results().previousButton().click();
    EXPECT_EQ(shown(wizard), first);
    wizard->results().nextButton().click();
    EXPECT_EQ(shown(wizard), second);
    EXPECT_EQ(logged(CMD_SEARCH_USERS).size(), 2u);

    // Past the last subscriber the server answers with nothing: the list stays.
    wizard->results().nextButton().click();
    ASSERT_TRUE(waitFor([&] { return answered(wizard); }, kWaitMs));
    EXPECT_EQ(loggedSearch<UserSearch>(CMD_SEARCH_USERS, 2).cursor, second.back());
    EXPECT_EQ(shown(wizard), second);
    EXPECT_TRUE(wizard->results().nextButton().isEnabled());
    EXPECT_TRUE(wizard->results().previousButton().isEnabled());

    // The age band reaches the server and is honoured.
    wizard->results().backButton().click();
    field<QComboBox>(wizard, 1041)->setCurrentIndex(13); // 76岁至80岁
    field<QLineEdit>(wizard, 1037)->setText(U("大爷"));
    wizard->conditions().nextButton().click();
    ASSERT_TRUE(waitFor([&] { return answered(wizard); }, kWaitMs));
    asked = loggedSearch<UserSearch>(CMD_SEARCH_USERS, 3);
    EXPECT_EQ(asked.ageBand, 13);
    EXPECT_EQ(asked.nick, Gbk("大爷"));
    ResultListModel& rows = wizard->results().rows();
    ASSERT_GT(rows.rowCount(), 0);
    for (int row = 0; row < rows.rowCount(); ++row) {
        const int age = rows.index(row, 4).data().toInt();
        EXPECT_TRUE(age >= 76 && age <= 80) << age;
        EXPECT_TRUE(rows.index(row, 1).data().toString().contains(U("大爷")));
    }
}

TEST_F(SearchEndToEnd, ProvidersAndColleaguesCarryTheirConditionsAndTheScope) {
    CSearchWizardDlg* providers = exactSearch(cmd::kAddProvider, 32, 3105);
    EXPECT_EQ(shown(providers), std::vector<uint32_t>{3105});
    const ProviderSearch provider = loggedSearch<ProviderSearch>(CMD_SEARCH_PROVIDERS, 0);
    EXPECT_EQ(provider.account, 3105u);
    ExpectScope(
        {provider.province, provider.city, provider.district, provider.street, provider.community});

    CSearchWizardDlg* colleagues = open(cmd::kAddColleague, 40);
    field<QCheckBox>(colleagues, 1106)->click();
    field<QCheckBox>(colleagues, 1107)->click();
    colleagues->conditions().nextButton().click();
    ASSERT_TRUE(waitFor([&] { return answered(colleagues); }, kWaitMs));
    // Only the operator itself is online in its area.
    EXPECT_EQ(shown(colleagues), std::vector<uint32_t>{1024});
    const ColleagueSearch colleague = loggedSearch<ColleagueSearch>(CMD_SEARCH_COLLEAGUES, 0);
    EXPECT_EQ(colleague.onlineOnly, 1u);
    ExpectScope({colleague.province, colleague.city, colleague.district, colleague.street,
                 colleague.community});
}

TEST_F(SearchEndToEnd, AddedResultsJoinTheirGroupsOnTheConsoleAndOnTheServer) {
    CSearchWizardDlg* subscribers = exactSearch(cmd::kAddSubscriber, 29, 2101);
    select(subscribers, 2101);
    subscribers->results().addButton().click();
    ASSERT_TRUE(waitFor([&] { return contacts->list().groupOf(2101) >= 0; }, kWaitMs));
    EXPECT_EQ(contacts->list().groupOf(2101), contacts->list().defaultGroup());
    EXPECT_EQ(ui.texts("notice").back(), U("已将用户： 2101 加为您的通讯联系人。"));

    CSearchWizardDlg* colleagues = exactSearch(cmd::kAddColleague, 40, 1105);
    select(colleagues, 1105);
    colleagues->results().addButton().click();
    ASSERT_TRUE(waitFor([&] { return contacts->list().groupOf(1105) >= 0; }, kWaitMs));

    // Already a contact, and the operator itself: nothing is asked of the server.
    ui.shown.clear();
    CSearchWizardDlg* known = exactSearch(cmd::kAddSubscriber, 29, 2001);
    ASSERT_EQ(known, subscribers);
    select(known, 2001);
    known->results().addButton().click();
    EXPECT_EQ(ui.texts("error"),
              std::vector<QString>{U("此联系人已在您的通讯列表中您不需要再进行添加！")});
    CSearchWizardDlg* self = exactSearch(cmd::kAddColleague, 40, 1024);
    select(self, 1024);
    self->results().addButton().click();
    QCoreApplication::processEvents();
    const std::vector<QByteArray> adds = logged(CMD_ADD_CONTACT);
    ASSERT_EQ(adds.size(), 2u);
    EXPECT_EQ(adds[0].toHex(), QByteArray("0000083500000000")) << "2101, the server's choice";
    EXPECT_EQ(adds[1].toHex(), QByteArray("0000045100000065")) << "1105, the default group 101";

    // The server keeps them: a console that logs in as 1024 gets them in its list.
    window.reset();
    e2e::TestConsole again;
    again.connect(1024, "talmor1024", server.udpPort());
    ASSERT_TRUE(waitFor([&] { return again.contactListReceived; }, kWaitMs));
    EXPECT_EQ(again.contactGroups.count(2101), 1u);
    EXPECT_EQ(again.contactGroups[1105], kDefaultGroup);
}

TEST_F(SearchEndToEnd, WithTheServerStoppedTheTimeOutShowsAndTheButtonsComeBack) {
    CSearchWizardDlg* wizard = open(cmd::kAddProvider, 32);
    field<QLineEdit>(wizard, 1047)->setText(QStringLiteral("nobody@example.test"));
    ASSERT_TRUE(server.stop());
    wizard->conditions().nextButton().click();
    EXPECT_FALSE(wizard->results().nextButton().isEnabled());
    ASSERT_TRUE(waitFor([&] { return !ui.texts("notice").empty(); }, kTimeOutWaitMs));
    EXPECT_EQ(ui.texts("notice").back(), U("查询服务商家网络联接超时！"));
    EXPECT_TRUE(wizard->results().nextButton().isEnabled());
    EXPECT_FALSE(wizard->results().previousButton().isEnabled());
}

} // namespace
} // namespace talmor
