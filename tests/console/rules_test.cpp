#include <gtest/gtest.h>

#include "console/commandids.h"
#include "console/mainlayout.h"
#include "console/menurules.h"
#include "console/statustexts.h"
#include "console/tabset.h"
#include "kit/gbktext.h"
#include "storage/consoleoptions.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::Gbk;

SeatRights Rights(const std::vector<int>& granted) {
    SeatRights rights;
    for (int right : granted) {
        rights.rights[static_cast<std::size_t>(right)] = "Y";
    }
    return rights;
}

TEST(TabSetTest, OnlyTheHelpRightGivesHelpAndWorkTabs) {
    const SeatRights rights = Rights({45});
    const TabSet tabs = TabSet::FromRights(rights);
    EXPECT_EQ(tabs.captions(), (std::vector<std::string>{"求助呼叫", "当前操作"}));
    EXPECT_EQ(tabs.tabOf(0), 0);
    EXPECT_EQ(tabs.tabOf(1), kNoTab);
    EXPECT_EQ(tabs.paneFor(0, rights), 0);
    EXPECT_EQ(tabs.paneFor(1, rights), TabSet::kWorkPane);
}

TEST(TabSetTest, AllRightsPutServicesInRightOrderAndCustomerServiceLast) {
    SeatRights rights;
    rights.rights.fill("Y");
    const TabSet tabs = TabSet::FromRights(rights);
    ASSERT_EQ(tabs.captions().size(), 28u);
    EXPECT_EQ(tabs.captions()[0], "求助呼叫");
    EXPECT_EQ(tabs.captions()[1], "求救呼叫");
    EXPECT_EQ(tabs.captions()[2], "物业管理");
    EXPECT_EQ(tabs.captions()[9], "社区服务");
    EXPECT_EQ(tabs.captions()[10], "商务快餐") << "code 11 follows code 9: right 28 follows 27";
    EXPECT_EQ(tabs.captions()[26], "Quorvane客服");
    EXPECT_EQ(tabs.captions()[27], "当前操作");
    EXPECT_EQ(tabs.tabOf(10), 26);
    EXPECT_EQ(tabs.tabOf(26), 25);
}

TEST(TabSetTest, PaneOfAMissingRightIsNeverShown) {
    const TabSet tabs = TabSet::FromRights(Rights({45, 20}));
    // The rights change after the tabs were built (a later login with fewer rights).
    EXPECT_EQ(tabs.paneFor(1, Rights({45})), TabSet::kNoPane);
    EXPECT_EQ(tabs.paneFor(1, Rights({45, 20})), 2);
    EXPECT_EQ(tabs.paneFor(7, Rights({45, 20})), TabSet::kNoPane);
}

TEST(TabSetTest, NoRightsLeaveTheWorkTabShowingTheWorkPane) {
    const TabSet tabs = TabSet::FromRights(Rights({}));
    EXPECT_EQ(tabs.captions(), (std::vector<std::string>{"当前操作"}));
    EXPECT_EQ(tabs.paneFor(0, Rights({})), TabSet::kWorkPane);
    EXPECT_EQ(TabSet().paneFor(0, Rights({})), TabSet::kNoPane) << "before any login";
}

MenuState Ready(const SeatRights& rights) {
    MenuState state;
    state.ready = true;
    state.rights = &rights;
    return state;
}

TEST(MenuRulesTest, NothingWithARuleIsEnabledBeforeTheLoginCompletes) {
    const MenuRules rules;
    const SeatRights all = Rights({7});
    MenuState state = Ready(all);
    state.ready = false;
    for (int command : {cmd::kSystemSettings, cmd::kTakeHelpCalls, cmd::kAddSubscriber,
                        cmd::kAddProvider, cmd::kAddColleague, cmd::kCreateGroup}) {
        ASSERT_TRUE(rules.apply(command, state)) << command;
        EXPECT_FALSE(rules.apply(command, state)->enabled) << command;
    }
    // Showing the window and exiting have no rule: they keep their (enabled) state.
    EXPECT_FALSE(rules.apply(cmd::kShowConsole, state));
    EXPECT_FALSE(rules.apply(cmd::kExit, state));
    EXPECT_FALSE(rules.apply(cmd::kServiceCentre, state));
}

TEST(MenuRulesTest, RightsScopeAndGroupsDecide) {
    const MenuRules rules;
    const SeatRights none = Rights({});
    const SeatRights provider = Rights({7});
    MenuState state = Ready(none);
    EXPECT_FALSE(rules.apply(cmd::kAddProvider, state)->enabled);
    EXPECT_TRUE(rules.apply(cmd::kAddProvider, Ready(provider))->enabled);
    EXPECT_TRUE(rules.apply(cmd::kAddSubscriber, state)->enabled);
    state.scopeKind = 1;
    EXPECT_FALSE(rules.apply(cmd::kAddSubscriber, state)->enabled) << "organisation scope";
    EXPECT_TRUE(rules.apply(cmd::kAddColleague, state)->enabled);

    state.groupCount = 49;
    EXPECT_TRUE(rules.apply(cmd::kCreateGroup, state)->enabled);
    state.groupCount = 50;
    EXPECT_FALSE(rules.apply(cmd::kCreateGroup, state)->enabled);
    EXPECT_FALSE(rules.apply(cmd::kRenameGroup, state)->enabled) << "no group selected";
    state.selectedGroup = 46;
    EXPECT_TRUE(rules.apply(cmd::kRenameGroup, state)->enabled);
    EXPECT_TRUE(rules.apply(cmd::kDeleteGroup, state)->enabled);
    state.selectedGroup = 47;
    EXPECT_TRUE(rules.apply(cmd::kRenameGroup, state)->enabled);
    EXPECT_FALSE(rules.apply(cmd::kDeleteGroup, state)->enabled) << "one of the last three";
}

TEST(MenuRulesTest, ReminderTogglesShowAndFlipTheirOptionBits) {
    const MenuRules rules;
    const SeatRights none = Rights({});
    MenuState state = Ready(none);
    state.optionBits = 1U << storage::kOptionTakeSosCalls;
    EXPECT_TRUE(rules.apply(cmd::kTakeSosCalls, state)->checked);
    EXPECT_FALSE(rules.apply(cmd::kTakeHelpCalls, state)->checked);
    EXPECT_EQ(rules.toggledBit(cmd::kTakeHelpCalls), 5);
    EXPECT_EQ(rules.toggledBit(cmd::kTakeSosCalls), 4);
    EXPECT_EQ(rules.toggledBit(cmd::kHelpReminder), 7);
    EXPECT_EQ(rules.toggledBit(cmd::kSosReminder), 6);
    EXPECT_EQ(rules.toggledBit(cmd::kJumpToTab), 8);
    EXPECT_EQ(rules.toggledBit(cmd::kAddColleague), -1);
}

TEST(StatusTextTest, StatusCountersAndScope) {
    EXPECT_EQ(StatusText(0), "联机");
    EXPECT_EQ(StatusText(1), "断开");
    EXPECT_EQ(StatusText(2), "离开");
    EXPECT_EQ(StatusText(3), "隐身");
    EXPECT_EQ(ProviderCountText(12), "已注册服务商 12 户");
    EXPECT_EQ(CustomerCountText(0), "已注册呼叫客户 0 户");
    EXPECT_EQ(HelpTotalText(4294967295u), "累计发起求助 4294967295 次");
    EXPECT_EQ(SosTotalText(3), "累计发起求救 3 次");

    UserRecord profile;
    EXPECT_EQ(AreaScopeText(profile), Gbk("监控 全国"));
    profile.province = Gbk("广东省");
    profile.city = Gbk("深圳市");
    EXPECT_EQ(AreaScopeText(profile), Gbk("监控 广东省 深圳市   "));
    EXPECT_EQ(ScopeNoticeText(Gbk("机构")), Gbk("监控 机构"));
}

TEST(AwayEntriesTest, LongRepliesAreCutAndNumberedFrom40000) {
    EXPECT_TRUE(AwayEntries({}).empty());
    const std::string thirty(30, 'a');
    const std::vector<AwayEntry> entries =
        AwayEntries({"short", thirty, Gbk("我现在很忙，稍后再与您联系。")});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].shown, "short");
    EXPECT_EQ(entries[0].command, 40000);
    EXPECT_EQ(entries[1].shown, std::string(20, 'a') + "...");
    EXPECT_EQ(entries[1].command, 40001);
    // 14 double-byte characters: 20 bytes are exactly ten of them.
    EXPECT_EQ(FromGbk(entries[2].shown), QString::fromUtf8("我现在很忙，稍后再与..."));
    // One single byte in front: the 20th byte would split a character, so 19 are shown.
    const std::vector<AwayEntry> odd = AwayEntries({"x" + Gbk("我现在很忙，稍后再与您联系。")});
    EXPECT_EQ(FromGbk(odd[0].shown), QString::fromUtf8("x我现在很忙，稍后再..."));
}

TEST(GbkTest, ConvertsAndNamesTheFirstCharacterGbkCannotHold) {
    EXPECT_EQ(FromGbk(Gbk("联机")), QString::fromUtf8("联机"));
    EXPECT_EQ(ToGbk(QString::fromUtf8("联机")), std::optional<std::string>("\xC1\xAA\xBB\xFA"));
    EXPECT_FALSE(ToGbk(QString::fromUtf8("a한b")));
    EXPECT_EQ(FirstNonGbk(QString::fromUtf8("ok한")), QString::fromUtf8("한"));
    EXPECT_EQ(FirstNonGbk(QString::fromUtf8("x😀y")), QString::fromUtf8("😀"));
    EXPECT_TRUE(FirstNonGbk(QString::fromUtf8("é联")).isEmpty());
    EXPECT_TRUE(NotGbkMessage("X").contains("X"));
}

TEST(LayoutTest, HidingPanesGivesTheirRoomToTheCallPanes) {
    const MainGeometry both = LayOut(1280, 800, true, true, 1);
    EXPECT_EQ(both.tabStrip, QRect(0, 94, 1280, 19));
    EXPECT_EQ(both.callArea, QRect(1, 113, 1280 - 217 - 10, 800 - 113 - 210 - 45));
    EXPECT_EQ(both.contactPane, QRect(1280 - 217, 113, 217, 800 - 113 - 45));
    EXPECT_EQ(both.statusLabel, QRect(40, 768, 80, 20));
    const MainGeometry noContacts = LayOut(1280, 800, false, true, 1);
    EXPECT_EQ(noContacts.callArea.width(), both.callArea.width() + 217);
    const MainGeometry noProcessing = LayOut(1280, 800, true, false, 1);
    EXPECT_EQ(noProcessing.callArea.height(), both.callArea.height() + 210);
    EXPECT_EQ(noProcessing.processToggle.top(), 800 - 47);
}

} // namespace
} // namespace talmor
