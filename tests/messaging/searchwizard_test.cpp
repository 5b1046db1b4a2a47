// The three search wizards on the console harness: opening from the menu, the conditions and
// the requests they become, the replies and their paging, time-outs, adding a result as a
// contact and the member pages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <functional>

#include "console/commandids.h"
#include "kit/resultlistmodel.h"
#include "messaging/searchconditionsdlg.h"
#include "messaging/searchresultsdlg.h"
#include "messaging/searchwizarddlg.h"
#include "protocol/commands.h"
#include "protocol/queryrecords.h"
#include "support/contactpanefixture.h"

namespace talmor {
namespace {

using testing::BodyReader;
using testing::Bytes;
using testing::Gbk;
using testing::U;

constexpr uint32_t kSubscriberFrame = 29;
constexpr uint32_t kProviderFrame = 32;
constexpr uint32_t kColleagueFrame = 40;

struct Wizard {
    int command;
    uint32_t frame;
    uint16_t request;
    uint16_t reply;
};
const Wizard kSubscribers{cmd::kAddSubscriber, kSubscriberFrame, CMD_SEARCH_USERS,
                          CMD_SEARCH_RESULT_A};
const Wizard kProviders{cmd::kAddProvider, kProviderFrame, CMD_SEARCH_PROVIDERS,
                        CMD_SEARCH_RESULT_B};
const Wizard kColleagues{cmd::kAddColleague, kColleagueFrame, CMD_SEARCH_COLLEAGUES,
                         CMD_SEARCH_RESULT_D};

class SearchWizardTest : public testing::ContactPaneFixture {
protected:
    CSearchWizardDlg* open(const Wizard& wizard) {
        h.window().onCommand(wizard.command);
        return frame(wizard);
    }
    CSearchWizardDlg* frame(const Wizard& wizard) {
        return dynamic_cast<CSearchWizardDlg*>(h.window().findWindow(wizard.frame, 0, 0));
    }
    template <typename T> T* field(CSearchWizardDlg* wizard, int id) {
        return wizard->findChild<T*>(QString::number(id));
    }
    void type(CSearchWizardDlg* wizard, int id, const char* text) {
        field<QLineEdit>(wizard, id)->setText(U(text));
    }
    // "下一步"; the request it sent, if any.
    std::vector<testing::Sent> next(CSearchWizardDlg* wizard, uint16_t request) {
        h.takeSent();
        wizard->conditions().nextButton().click();
        std::vector<testing::Sent> sent;
        for (const testing::Sent& s : h.takeSent()) {
            if (s.command == request) {
                sent.push_back(s);
            }
        }
        return sent;
    }
    uint16_t lastSeq(uint16_t request) {
        uint16_t seq = 0;
        for (const testing::Sent& s : h.takeSent()) {
            if (s.command == request) {
                seq = s.seq;
            }
        }
        return seq;
    }
    void replyA(uint16_t ackSeq, const std::vector<SearchEntryA>& entries) {
        h.deliver(
            CMD_SEARCH_RESULT_A, [&](OutPacket& out) { writeList(out, entries); }, ackSeq);
    }
    static std::vector<SearchEntryA> Users(uint32_t firstId, int count) {
        std::vector<SearchEntryA> users;
        for (int i = 0; i < count; ++i) {
            const uint32_t id = firstId + static_cast<uint32_t>(i);
            users.push_back(
                {id, static_cast<uint8_t>(i % 2), "n" + std::to_string(id), "", 1, 70, ""});
        }
        return users;
    }
    std::vector<uint32_t> shownIds(CSearchWizardDlg* wizard) {
        std::vector<uint32_t> ids;
        ResultListModel& rows = wizard->results().rows();
        for (int row = 0; row < rows.rowCount(); ++row) {
            ids.push_back(rows.idAt(row));
        }
        return ids;
    }
    std::pair<bool, bool> pagingButtons(CSearchWizardDlg* wizard) {
        return {wizard->results().previousButton().isEnabled(),
                wizard->results().nextButton().isEnabled()};
    }
    void select(CSearchWizardDlg* wizard, int row) {
        QTableView& list = wizard->results().list();
        list.selectionModel()->select(list.model()->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
    }
    // A search of `wizard` in exact mode for `account` whose first reply holds `entries`.
    template <typename Entry>
    CSearchWizardDlg* answered(const Wizard& wizard, uint32_t account,
                               const std::vector<Entry>& entries) {
        CSearchWizardDlg* dialog = open(wizard);
        field<QLineEdit>(dialog, 1082)->setText(QString::number(account));
        const uint16_t seq = next(dialog, wizard.request).at(0).seq;
        h.deliver(
            wizard.reply, [&](OutPacket& out) { writeList(out, entries); }, seq);
        return dialog;
    }
    template <typename Entry> static Entry WithId(uint32_t id) {
        Entry entry;
        entry.id = id;
        return entry;
    }
};

TEST_F(SearchWizardTest, EachCommandOpensOneWizardWithItsConditionsPageShown) {
    standardLogin();
    const struct {
        Wizard wizard;
        const char* caption;
        uint32_t conditions;
        uint32_t results;
    } cases[] = {
        {kSubscribers, "QuorvaneIM查询", 31, 30},
        {kProviders, "QuorvaneIM查询", 34, 33},
        {kColleagues, "查询添加同事", 41, 42},
    };
    for (const auto& c : cases) {
        CSearchWizardDlg* wizard = open(c.wizard);
        ASSERT_NE(wizard, nullptr) << c.caption;
        EXPECT_EQ(wizard->windowTitle(), U(c.caption));
        EXPECT_EQ(h.window().findWindow(c.conditions, 0, 0),
                  static_cast<RegisteredWindow*>(&wizard->conditions()));
        EXPECT_EQ(h.window().findWindow(c.results, 0, 0),
                  static_cast<RegisteredWindow*>(&wizard->results()));
        EXPECT_TRUE(wizard->conditions().isVisibleTo(wizard));
        EXPECT_FALSE(wizard->results().isVisibleTo(wizard));
        // The operator's scope fills the area fields.
        QComboBox* province = field<QComboBox>(wizard, 1039);
        ASSERT_NE(province, nullptr);
        EXPECT_EQ(province->count(), 35);
        EXPECT_EQ(province->currentText(), U("广东省"));
        EXPECT_EQ(field<QLineEdit>(wizard, 1121)->text(), U("科技园社区"));
        // Exact mode first: the account is open, the combined fields are not.
        EXPECT_TRUE(field<QLineEdit>(wizard, 1082)->isEnabled());
        EXPECT_FALSE(field<QLineEdit>(wizard, 1044)->isEnabled());
        h.window().onCommand(c.wizard.command);
        EXPECT_EQ(frame(c.wizard), wizard) << "a second command opens no second wizard";
    }
    CSearchWizardDlg* subscribers = frame(kSubscribers);
    EXPECT_EQ(field<QComboBox>(subscribers, 1041)->count(), 15);
    EXPECT_EQ(field<QComboBox>(subscribers, 1045)->count(), 3);
    EXPECT_EQ(field<QLineEdit>(frame(kColleagues), 1047), nullptr) << "no e-mail for colleagues";
    EXPECT_NE(field<QLineEdit>(frame(kProviders), 1043), nullptr);
}

TEST_F(SearchWizardTest, CombinedModeChoosesOnlyTheAreaPartsTheScopeLeavesOpen) {
    UserRecord profile = testing::ConsoleHarness::Operator();
    profile.district.clear();
    profile.street.clear();
    profile.community.clear();
    loginWith({{101, Gbk("我的好友")}}, {}, profile);
    CSearchWizardDlg* wizard = open(kSubscribers);
    field<QRadioButton>(wizard, 1106)->click();
    EXPECT_FALSE(field<QComboBox>(wizard, 1039)->isEnabled());
    EXPECT_FALSE(field<QLineEdit>(wizard, 1040)->isEnabled());
    for (int id : {1042, 1120, 1121, 1037, 1044}) {
        EXPECT_TRUE(field<QLineEdit>(wizard, id)->isEnabled()) << id;
    }
    EXPECT_FALSE(field<QLineEdit>(wizard, 1082)->isEnabled());
    EXPECT_FALSE(field<QLineEdit>(wizard, 1047)->isEnabled());
    type(wizard, 1040, "广州市"); // fixed by the scope: not sent
    type(wizard, 1042, "南山区");
    type(wizard, 1037, "张");
    type(wizard, 1082, "777"); // exact mode's: not sent
    field<QComboBox>(wizard, 1045)->setCurrentIndex(2);
    field<QComboBox>(wizard, 1041)->setCurrentIndex(14);

    const auto sent = next(wizard, CMD_SEARCH_USERS);
    ASSERT_EQ(sent.size(), 1u);
    BodyReader body(sent[0].body);
    const UserSearch search = UserSearch::read(body.in());
    EXPECT_EQ(search.account, 0u);
    EXPECT_EQ(search.nick, Gbk("张"));
    EXPECT_EQ(search.sex, 2);
    EXPECT_EQ(search.ageBand, 14);
    EXPECT_EQ(search.province, Gbk("广东省"));
    EXPECT_EQ(search.city, Gbk("深圳市"));
    EXPECT_EQ(search.district, Gbk("南山区"));
    EXPECT_EQ(search.street, "");
    EXPECT_EQ(search.cursor, 0u);
    EXPECT_TRUE(wizard->results().isVisibleTo(wizard));
    EXPECT_FALSE(wizard->conditions().isVisibleTo(wizard));
    EXPECT_EQ(wizard->results().key2, sent[0].seq);

    // "上一步" shows the conditions as they were.
    wizard->results().backButton().click();
    EXPECT_TRUE(wizard->conditions().isVisibleTo(wizard));
    EXPECT_EQ(field<QLineEdit>(wizard, 1037)->text(), U("张"));
}

TEST_F(SearchWizardTest, ProvidersAndColleaguesSendTheirOwnConditions) {
    standardLogin();
    CSearchWizardDlg* providers = open(kProviders);
    field<QRadioButton>(providers, 1106)->click();
    type(providers, 1044, "家电");
    type(providers, 1043, "0755");
    auto sent = next(providers, CMD_SEARCH_PROVIDERS);
    ASSERT_EQ(sent.size(), 1u);
    BodyReader providerBody(sent[0].body);
    const ProviderSearch provider = ProviderSearch::read(providerBody.in());
    EXPECT_EQ(provider.name, Gbk("家电"));
    EXPECT_EQ(provider.phone, "0755");
    EXPECT_EQ(provider.community, Gbk("科技园社区"));

    CSearchWizardDlg* colleagues = open(kColleagues);
    EXPECT_FALSE(field<QCheckBox>(colleagues, 1107)->isEnabled());
    field<QCheckBox>(colleagues, 1106)->click();
    EXPECT_TRUE(field<QCheckBox>(colleagues, 1107)->isEnabled());
    EXPECT_FALSE(field<QLineEdit>(colleagues, 1082)->isEnabled());
    field<QCheckBox>(colleagues, 1107)->click();
    type(colleagues, 1044, "小李");
    sent = next(colleagues, CMD_SEARCH_COLLEAGUES);
    ASSERT_EQ(sent.size(), 1u);
    BodyReader colleagueBody(sent[0].body);
    const ColleagueSearch colleague = ColleagueSearch::read(colleagueBody.in());
    EXPECT_EQ(colleague.name, Gbk("小李"));
    EXPECT_EQ(colleague.onlineOnly, 1u);
    EXPECT_EQ(colleague.province, Gbk("广东省"));

    // Unchecked again: account only, with the name left out and online only 0.
    colleagues->results().backButton().click();
    field<QCheckBox>(colleagues, 1106)->click();
    type(colleagues, 1082, "1025");
    sent = next(colleagues, CMD_SEARCH_COLLEAGUES);
    ASSERT_EQ(sent.size(), 1u);
    BodyReader exactBody(sent[0].body);
    const ColleagueSearch exact = ColleagueSearch::read(exactBody.in());
    EXPECT_EQ(exact.account, 1025u);
    EXPECT_EQ(exact.name, "");
    EXPECT_EQ(exact.onlineOnly, 0u);
}

TEST_F(SearchWizardTest, RefusedConditionsSendNothing) {
    standardLogin();
    const struct {
        Wizard wizard;
        const char* account;
        const char* refusal;
    } cases[] = {
        {kSubscribers, "", "选择精确查询必须输入帐号或电子邮件，请进行输入。"},
        {kProviders, "", "选择精确查询必须输入帐号或电子邮件，请进行输入。"},
        {kColleagues, "", "选择非组合查询必须输入帐号，请进行输入。"},
        {kSubscribers, "42949672950",
         "您输入的帐号超出了帐号的范围（最大为 4294967295），请检查后重新输入。"},
    };
    for (const auto& c : cases) {
        CSearchWizardDlg* wizard = open(c.wizard);
        type(wizard, 1082, c.account);
        h.ui.shown.clear();
        EXPECT_TRUE(next(wizard, c.wizard.request).empty()) << c.refusal;
        EXPECT_EQ(h.ui.texts("error"), std::vector<QString>{U(c.refusal)});
        EXPECT_TRUE(wizard->conditions().isVisibleTo(wizard));
    }
}

TEST_F(SearchWizardTest, RepliesArePagedAndOnlyPagesNotStoredAreAskedFor) {
    standardLogin();
    CSearchWizardDlg* wizard = open(kSubscribers);
    type(wizard, 1047, "a@b.c");
    const uint16_t first = next(wizard, CMD_SEARCH_USERS).at(0).seq;
    EXPECT_EQ(pagingButtons(wizard), std::make_pair(false, false)) << "waiting";

    replyA(static_cast<uint16_t>(first + 1), Users(5000, 2));
    replyA(0, Users(6000, 2));
    EXPECT_TRUE(shownIds(wizard).empty()) << "replies to other requests change nothing";
    replyA(first, Users(2001, 3));
    EXPECT_EQ(shownIds(wizard), (std::vector<uint32_t>{2001, 2002, 2003}));
    EXPECT_EQ(pagingButtons(wizard), std::make_pair(false, true));
    replyA(first, Users(7000, 1));
    EXPECT_EQ(shownIds(wizard).front(), 2001u) << "a repeated reply is not stored again";

    wizard->results().nextButton().click();
    const std::vector<testing::Sent> asked = h.takeSent();
    ASSERT_EQ(asked.size(), 1u);
    BodyReader body(asked[0].body);
    EXPECT_EQ(UserSearch::read(body.in()).cursor, 2003u);
    EXPECT_EQ(pagingButtons(wizard), std::make_pair(false, false));
    replyA(asked[0].seq, Users(2004, 2));
    EXPECT_EQ(shownIds(wizard), (std::vector<uint32_t>{2004, 2005}));
    EXPECT_EQ(pagingButtons(wizard), std::make_pair(true, true));

    // Back and forth through what is stored asks nothing.
    wizard->results().previousButton().click();
    EXPECT_EQ(shownIds(wizard).front(), 2001u);
    EXPECT_EQ(pagingButtons(wizard), std::make_pair(false, true));
    wizard->results().nextButton().click();
    EXPECT_EQ(shownIds(wizard).front(), 2004u);
    EXPECT_EQ(lastSeq(CMD_SEARCH_USERS), 0);

    // An empty reply keeps the list and gives the buttons back.
    wizard->results().nextButton().click();
    const uint16_t third = lastSeq(CMD_SEARCH_USERS);
    ASSERT_NE(third, 0);
    replyA(third, {});
    EXPECT_EQ(shownIds(wizard).front(), 2004u);
    EXPECT_EQ(pagingButtons(wizard), std::make_pair(true, true));

    // A new search starts over.
    wizard->results().backButton().click();
    const auto again = next(wizard, CMD_SEARCH_USERS);
    ASSERT_EQ(again.size(), 1u);
    BodyReader againBody(again[0].body);
    EXPECT_EQ(UserSearch::read(againBody.in()).cursor, 0u);
    EXPECT_TRUE(shownIds(wizard).empty());
    EXPECT_EQ(wizard->results().paging().stored(), 0);
}

TEST_F(SearchWizardTest, AReplyThatPromisesMoreEntriesThanItCarriesShowsWhatItHolds) {
    standardLogin();
    CSearchWizardDlg* wizard = open(kSubscribers);
    type(wizard, 1082, "1");
    const uint16_t seq = next(wizard, CMD_SEARCH_USERS).at(0).seq;
    h.deliver(
        CMD_SEARCH_RESULT_A,
        [](OutPacket& out) {
            out.writeShort(500);
            for (const SearchEntryA& entry : Users(2001, 2)) {
                entry.write(out);
            }
        },
        seq);
    EXPECT_EQ(shownIds(wizard), (std::vector<uint32_t>{2001, 2002}));
    EXPECT_EQ(wizard->results().paging().cursor(), 2002u);
}

TEST_F(SearchWizardTest, ATimeOutTellsTheOperatorAndALateReplyChangesNothing) {
    standardLogin();
    h.acknowledgeAll();
    const struct {
        Wizard wizard;
        const char* text;
    } cases[] = {
        {kSubscribers, "查询联系人网络联接超时！"},
        {kProviders, "查询服务商家网络联接超时！"},
        {kColleagues, "查询添加公司同事网络联接超时！"},
    };
    for (const auto& c : cases) {
        CSearchWizardDlg* wizard = open(c.wizard);
        type(wizard, 1082, "1025");
        const uint16_t seq = next(wizard, c.wizard.request).at(0).seq;
        h.ui.shown.clear();
        for (int pass = 0; pass < 3; ++pass) {
            h.clock.advance(10);
            h.window().onTimer(1001);
        }
        EXPECT_EQ(h.ui.texts("notice"), std::vector<QString>{U(c.text)});
        EXPECT_FALSE(wizard->results().waiting());
        EXPECT_EQ(pagingButtons(wizard), std::make_pair(false, true))
            << "the operator may ask again";
        h.deliver(
            c.wizard.reply, [](OutPacket& out) { out.writeShort(0); }, seq);
        replyA(seq, Users(2001, 1));
        EXPECT_TRUE(shownIds(wizard).empty());
        h.acknowledgeAll();
    }
}

TEST_F(SearchWizardTest, AClosedWizardIsGoneWithItsRepliesAndOpensAfresh) {
    standardLogin();
    CSearchWizardDlg* wizard = open(kSubscribers);
    type(wizard, 1082, "1");
    const uint16_t seq = next(wizard, CMD_SEARCH_USERS).at(0).seq;
    wizard->results().cancelButton().click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame(kSubscribers), nullptr);
    EXPECT_EQ(h.window().findWindow(30, 0, 0), nullptr);
    replyA(seq, Users(2001, 2)); // finds no window
    CSearchWizardDlg* again = open(kSubscribers);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(shownIds(again).empty());
}

TEST_F(SearchWizardTest, AddingAResultRefusesTheOperatorAndContactsAndSendsTheRightGroup) {
    standardLogin();
    // 1024 is the operator, 1025 a contact already, 4294967295 a user to add.
    CSearchWizardDlg* wizard =
        answered(kSubscribers, 1,
                 std::vector<SearchEntryA>{{1024, 1, "me", "", 1, 30, ""},
                                           {kColleague, 1, "", "", 1, 30, ""},
                                           {4294967295u, 0, "", "", 2, 80, ""}});
    h.takeSent();
    h.ui.shown.clear();
    wizard->results().addButton().click();
    select(wizard, 0);
    wizard->results().addButton().click();
    select(wizard, 1);
    wizard->results().addButton().click();
    EXPECT_EQ(h.ui.texts("error"),
              (std::vector<QString>{U("请选择您想添加为通讯联系人列表中的用户！"),
                                    U("此联系人已在您的通讯列表中您不需要再进行添加！")}));
    EXPECT_TRUE(sentBodies(CMD_ADD_CONTACT).empty());
    select(wizard, 2);
    wizard->results().addButton().click();
    const auto adds = sentBodies(CMD_ADD_CONTACT);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(testing::U32s(adds[0], 2), (std::vector<uint32_t>{4294967295u, 0}));

    // The server confirms: the user joins the default group.
    event32(CMD_CONTACT_ADDED, 4294967295u);
    EXPECT_EQ(list().groupOf(4294967295u), list().defaultGroup());
    EXPECT_EQ(h.ui.texts("notice").back(), U("已将用户： 4294967295 加为您的通讯联系人。"));

    // Colleagues go to the default group (101) themselves; providers have their own texts.
    CSearchWizardDlg* colleagues =
        answered(kColleagues, 1030, std::vector{WithId<SearchEntryD>(1030)});
    h.ui.shown.clear();
    colleagues->results().addButton().click();
    select(colleagues, 0);
    colleagues->results().addButton().click();
    EXPECT_EQ(h.ui.texts("error"), std::vector<QString>{U("请选择联系人！")});
    const auto colleagueAdds = sentBodies(CMD_ADD_CONTACT);
    ASSERT_EQ(colleagueAdds.size(), 1u);
    EXPECT_EQ(testing::U32s(colleagueAdds[0], 2), (std::vector<uint32_t>{1030, 101}));

    CSearchWizardDlg* providers =
        answered(kProviders, kMerchant, std::vector{WithId<SearchEntryB>(kMerchant)});
    h.ui.shown.clear();
    select(providers, 0);
    providers->results().addButton().click();
    EXPECT_EQ(h.ui.texts("error"),
              std::vector<QString>{U("此服务商已在您的通讯列表中您不需要再进行添加！")});
}

TEST_F(SearchWizardTest, ADoubleClickOpensTheMemberPageOnTheKindsHost) {
    standardLogin();
    const Deployment& deployment = h.window().deployment();
    const struct {
        std::function<CSearchWizardDlg*()> search;
        QString page; // none for colleagues
    } cases[] = {
        {[&] { return answered(kSubscribers, 1, std::vector{WithId<SearchEntryA>(4294967295u)}); },
         deployment.memberInfoHost + "/memberinfo/?memberid=4294967295"},
        {[&] { return answered(kProviders, 3001, std::vector{WithId<SearchEntryB>(3001)}); },
         deployment.providerMemberInfoHost + "/memberinfo/?memberid=3001"},
        {[&] { return answered(kColleagues, 1025, std::vector{WithId<SearchEntryD>(1025)}); },
         QString()},
    };
    for (const auto& c : cases) {
        h.ui.opened.clear();
        CSearchWizardDlg* wizard = c.search();
        wizard->results().openMember(0);
        wizard->results().openMember(5); // no such row
        if (c.page.isEmpty()) {
            EXPECT_TRUE(h.ui.opened.empty());
            continue;
        }
        ASSERT_EQ(h.ui.opened.size(), 1u) << c.page.toStdString();
        EXPECT_EQ(h.ui.opened[0].toString(), c.page);
    }
}

} // namespace
} // namespace talmor
