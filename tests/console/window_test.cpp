#include <gtest/gtest.h>

#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

#include <climits>

#include "console/calltabstrip.h"
#include "console/commandids.h"
#include "console/mainlayout.h"
#include "console/paneslot.h"
#include "console/toolbuttonrows.h"
#include "kit/appfolders.h"
#include "protocol/commands.h"
#include "protocol/peersession.h"
#include "protocol/trace.h"
#include "storage/optionstore.h"
#include "support/consoleharness.h"
#include "widgets/colorlabel.h"
#include "widgets/skinbutton.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;
using testing::Gbk;
using testing::U;

// Opens every popup of the main menu, as the operator would before choosing.
void OpenMenus(CTalmorManagerDlg& window) {
    for (QAction* popup : window.menuBar()->actions()) {
        if (popup->menu() != nullptr) {
            emit popup->menu()->aboutToShow();
        }
    }
}

bool Enabled(CTalmorManagerDlg& window, int command) {
    return window.mainMenu().action(command)->isEnabled();
}

TEST(TabsTest, OnlyTheHelpRightShowsTwoTabsAndNeverAnotherPane) {
    ConsoleHarness h;
    h.login(ConsoleHarness::OnlyRights({45}));
    const QTabBar* tabs = h.window().tabStrip().bar();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), U("求助呼叫"));
    EXPECT_EQ(tabs->tabText(1), U("当前操作"));
    CallTabStrip& strip = h.window().tabStrip();
    EXPECT_TRUE(strip.categoryPane(0)->isVisible());
    EXPECT_FALSE(strip.workPane()->isVisible());
    for (int code = 1; code < 27; ++code) {
        EXPECT_FALSE(strip.categoryPane(code)->isVisible()) << code;
    }
    // Button 1022 selects "当前操作".
    h.window().onCommand(cmd::kButtonWorkTab);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(strip.workPane()->isVisible());
    EXPECT_FALSE(strip.categoryPane(0)->isVisible());
}

TEST(TabsTest, ATabWithRowsBlinksAndOneWithoutStaysSteady) {
    struct Rows : CallReceiver {
        void onCallList(int, std::vector<CallRecord>) override {}
        void onNewCall(CallRecord) override {}
        void onCallGone(uint32_t) override {}
        void onCallMemoSaved(uint32_t) override {}
        void onListsRequested() override {}
        void onReminderDue() override { ++reminders; }
        int rowCount(int code) const override { return code == 1 ? 1 : 0; }
        int reminders = 0;
    } rows;
    ConsoleHarness h;
    h.window().routes().calls = &rows;
    h.login(ConsoleHarness::OnlyRights({45, 46, 20}));
    CallTabBar* tabs = h.window().tabStrip().bar();
    tabs->resize(600, 19);
    // Neither the blinking tab nor the tabs to its right move while it blinks.
    std::vector<QRect> steady;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        steady.push_back(tabs->tabRect(tab));
    }
    const auto placesKept = [&] {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            EXPECT_EQ(tabs->tabRect(tab), steady[static_cast<std::size_t>(tab)]) << tab;
        }
    };
    h.window().onTimer(1008);
    EXPECT_FALSE(tabs->captionHidden(1));
    h.window().onTimer(1008);
    EXPECT_TRUE(tabs->captionHidden(1));
    EXPECT_FALSE(tabs->captionHidden(0));
    EXPECT_EQ(tabs->tabText(1), U("求救呼叫"));
    placesKept();
    // The blank beat paints no caption where the caption beat did.
    const QImage blank = tabs->grab(tabs->tabRect(1)).toImage();
    h.window().onTimer(1008);
    EXPECT_FALSE(tabs->captionHidden(1));
    EXPECT_NE(tabs->grab(tabs->tabRect(1)).toImage(), blank);
    placesKept();

    h.window().onTimer(1007);
    EXPECT_EQ(rows.reminders, 1);
    h.window().routes().calls = nullptr;
}

TEST(MenuTest, EveryRuledItemIsGreyUntilTheLoginCompletes) {
    ConsoleHarness h;
    OpenMenus(h.window());
    for (int command :
         {cmd::kSystemSettings, cmd::kTakeHelpCalls, cmd::kTakeSosCalls, cmd::kHelpReminder,
          cmd::kSosReminder, cmd::kJumpToTab, cmd::kAddSubscriber, cmd::kAddProvider,
          cmd::kAddColleague, cmd::kCreateGroup, cmd::kRenameGroup, cmd::kDeleteGroup}) {
        EXPECT_FALSE(Enabled(h.window(), command)) << command;
    }
    for (int command : {cmd::kShowConsole, cmd::kExit, cmd::kServiceCentre, cmd::kFeatureGuide}) {
        EXPECT_TRUE(Enabled(h.window(), command)) << command;
    }

    h.login(ConsoleHarness::OnlyRights({45}));
    OpenMenus(h.window());
    EXPECT_TRUE(Enabled(h.window(), cmd::kSystemSettings));
    EXPECT_TRUE(Enabled(h.window(), cmd::kAddSubscriber));
    EXPECT_FALSE(Enabled(h.window(), cmd::kAddProvider)) << "right 7 missing";
    EXPECT_TRUE(Enabled(h.window(), cmd::kCreateGroup));
    EXPECT_FALSE(Enabled(h.window(), cmd::kRenameGroup)) << "no group selected";
    EXPECT_TRUE(h.window().mainMenu().action(cmd::kTakeHelpCalls)->isChecked());

    h.window().SetOffline();
    OpenMenus(h.window());
    EXPECT_FALSE(Enabled(h.window(), cmd::kSystemSettings));
}

TEST(MenuTest, AReminderToggleFlipsItsBitAndSavesIt) {
    ConsoleHarness h;
    h.login();
    h.window().onCommand(cmd::kTakeHelpCalls);
    storage::ConsoleOptions saved;
    ASSERT_TRUE(storage::LoadOptions(userFolder(), saved));
    EXPECT_FALSE(saved.bit(storage::kOptionTakeHelpCalls));
    OpenMenus(h.window());
    EXPECT_FALSE(h.window().mainMenu().action(cmd::kTakeHelpCalls)->isChecked());
    h.window().mainMenu().action(cmd::kTakeHelpCalls)->trigger();
    ASSERT_TRUE(storage::LoadOptions(userFolder(), saved));
    EXPECT_TRUE(saved.bit(storage::kOptionTakeHelpCalls));
}

TEST(MenuTest, SearchCommandsRefuseWhileOffline) {
    ConsoleHarness h;
    h.login();
    h.window().SetOffline();
    h.window().onCommand(cmd::kAddSubscriber);
    h.window().onCommand(cmd::kAddProvider);
    EXPECT_EQ(h.ui.texts("information"),
              (std::vector<QString>{U("您的状态显示为脱机，请登录到服务器后再进行通讯联系人搜索。"),
                                    U("您的状态显示为脱机，请登录到服务器后再进行服务商搜索。")}));
}

TEST(LayoutTest, TheWindowFillsItsRulesAndTogglesGiveRoomToTheCallPanes) {
    ConsoleHarness h;
    CTalmorManagerDlg& w = h.window();
    EXPECT_EQ(w.minimumSize(), QSize(800, 550));
    h.login();
    const int width = w.tabStrip().categoryPane(0)->width();
    const int height = w.tabStrip().categoryPane(0)->height();
    EXPECT_EQ(w.contactPane().width(), kContactPaneWidth);
    w.onCommand(cmd::kButtonToggleContacts);
    EXPECT_FALSE(w.contactPaneShown());
    EXPECT_FALSE(w.contactPane().isVisible());
    EXPECT_EQ(w.tabStrip().categoryPane(0)->width(), width + kContactPaneWidth);
    w.onCommand(cmd::kButtonToggleProcessing);
    EXPECT_FALSE(w.processPane().isVisible());
    EXPECT_EQ(w.tabStrip().categoryPane(0)->height(), height + kProcessPaneHeight);
    w.onCommand(cmd::kButtonToggleContacts);
    EXPECT_TRUE(w.contactPane().isVisible());
}

TEST(CountersTest, TotalsCountsScopeAndReminderSchedule) {
    ConsoleHarness h;
    CTalmorManagerDlg& w = h.window();
    EXPECT_EQ(w.statusLabel().text(), U("未知"));
    EXPECT_EQ(w.scopeLabel().text(), U("监控 读取中..."));
    EXPECT_EQ(w.providerLabel().text(), U("已注册服务商 读取中..."));
    EXPECT_EQ(w.buttons().label(1078)->text(), U("已注册呼叫客户 读取中..."));
    EXPECT_EQ(w.buttons().label(1070)->text(), U("读取中..."));
    EXPECT_EQ(w.statusLabel().textColor(), QColor(255, 102, 0));
    EXPECT_EQ(w.buttons().label(1070)->textColor(), QColor(208, 0, 21));
    EXPECT_EQ(w.buttons().label(1071)->textColor(), QColor(0, 128, 0));
    h.login();
    h.deliver(CMD_PROVIDER_COUNT, [](OutPacket& out) { out.writeInt(12); });
    h.deliver(CMD_CUSTOMER_COUNT, [](OutPacket& out) { out.writeInt(345); });
    h.deliver(CMD_HELP_TOTAL, [](OutPacket& out) { out.writeInt(67); });
    h.deliver(CMD_SOS_TOTAL, [](OutPacket& out) { out.writeInt(8); });
    EXPECT_EQ(w.providerLabel().text(), U("已注册服务商 12 户"));
    EXPECT_EQ(w.buttons().label(1078)->text(), U("已注册呼叫客户 345 户"));
    EXPECT_EQ(w.buttons().label(1071)->text(), U("累计发起求助 67 次"));
    EXPECT_EQ(w.buttons().label(1070)->text(), U("累计发起求救 8 次"));

    h.deliver(CMD_REMINDER_SCHEDULE, [](OutPacket& out) {
        out.writeInt(1);
        out.writeInt(30);
    });
    ASSERT_TRUE(h.timers.isRunning(1007));
    EXPECT_EQ(h.timers.running[1007], 30 * 60000);
    h.deliver(CMD_REMINDER_SCHEDULE, [](OutPacket& out) {
        out.writeInt(0);
        out.writeInt(5);
    });
    EXPECT_EQ(h.timers.running[1007], 30 * 60000) << "enabled 0 leaves the timer alone";
    h.deliver(CMD_REMINDER_SCHEDULE, [](OutPacket& out) {
        out.writeInt(1);
        out.writeInt(4000000000u);
    });
    EXPECT_EQ(h.timers.running[1007], INT_MAX) << "a period beyond a timer's range is cut";
}

TEST(RoutingTest, EventsWithoutTheirWindowAreReportedNotLostSilently) {
    ConsoleHarness h;
    h.login();
    std::vector<std::string> lines;
    const TraceSink previous =
        setTraceSink([&lines](const std::string& line) { lines.push_back(line); });
    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(4711); });
    h.deliver(CMD_SERVER_MESSAGE, [](OutPacket& out) {
        ServerMessage{1, 1025, 0, "hi"}.write(out);
    });
    setTraceSink(previous);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "no receiver for OnCallGone (4711)"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "no receiver for OnMessage (1025)"),
              lines.end());
}

TEST(RoutingTest, InstalledReceiversGetTheirEvents) {
    struct Messages : MessagingReceiver {
        void onMessage(MessageRecord m) override { messages.push_back(m.peerId); }
        void onContactChanged(uint32_t) override {}
        std::vector<uint32_t> messages;
    } messages;
    struct Files : FileReceiver {
        void onFileOffer(uint32_t peer, uint32_t, const std::string&) override {
            offers.push_back(peer);
        }
        void onFileAccepted(uint32_t, uint16_t) override {}
        void onFileCancelled(uint32_t) override {}
        void onFileRelayReady(uint32_t, uint32_t, bool) override {}
        void onFileRelayData(uint32_t, const uint8_t*, uint32_t, uint32_t) override {}
        void onFileTransferDone(uint32_t) override {}
        void onFileProgress(uint32_t, uint32_t, uint32_t) override {}
        std::string transferFilePath(uint32_t) override { return "/tmp/f"; }
        uint32_t transferFileSize(uint32_t) override { return 9; }
        void onFileFailed(uint32_t, int) override {}
        void onPeerOffline(uint32_t) override {}
        std::vector<uint32_t> offers;
    } files;
    struct Searches : SearchReceiver {
        void onSearchResultA(std::vector<SearchEntryA> e, uint16_t seq) override {
            searches.emplace_back(e.size(), seq);
        }
        void onSearchResultB(std::vector<SearchEntryB>, uint16_t) override {}
        void onSearchResultD(std::vector<SearchEntryD>, uint16_t) override {}
        void openSearchWizard(uint32_t type) override { wizards.push_back(type); }
        std::vector<std::pair<std::size_t, uint16_t>> searches;
        std::vector<uint32_t> wizards;
    } searches;
    ConsoleHarness h;
    h.window().routes().messaging = &messages;
    h.window().routes().file = &files;
    h.window().routes().search = &searches;
    h.login();
    h.deliver(CMD_SERVER_MESSAGE, [](OutPacket& out) {
        ServerMessage{1, 1025, 0, "hi"}.write(out);
    });
    EXPECT_EQ(messages.messages, std::vector<uint32_t>{1025});
    // A contact's direct message takes the same route and is answered with its number.
    h.deliver(CMD_CONTACT_ONLINE, [](OutPacket& out) {
        PresenceEntry{1025, 0, 0x7F000001, 4000, 6000, 0x7F000001}.write(out);
    });
    PeerSession* listener = h.window().peers().findSession(kMessageKind, 0);
    ASSERT_NE(listener, nullptr);
    const int accepted = h.sockets.nextHandle;
    listener->onIncoming(listener->socketHandle());
    PeerOutPacket hello(kPeerHello, 1025);
    hello.writeByte(1);
    PeerOutPacket chat(kPeerChatMessage, 1025);
    chat.writeInt(4000000000u).writeByte(1).writeInt(0).writeString("direct");
    std::vector<uint8_t> stream;
    for (PeerOutPacket* packet : {&hello, &chat}) {
        packet->setPrefix();
        stream.insert(stream.end(), packet->data(), packet->data() + packet->length());
    }
    h.sockets.deliver(accepted, stream);
    EXPECT_EQ(messages.messages, (std::vector<uint32_t>{1025, 1025}));
    ASSERT_EQ(h.sockets.find(accepted)->sent.size(), 1u);
    const std::vector<uint8_t>& ack = h.sockets.find(accepted)->sent[0];
    PeerInPacket answer(ack.data() + 2, ack.size() - 2);
    EXPECT_EQ(answer.command(), kPeerChatAck);
    EXPECT_EQ(answer.u32(), 4000000000u);
    // File offers only from contacts.
    h.window().OnFileOffer(1025, 10, "a");
    h.window().OnFileOffer(9999, 10, "a");
    EXPECT_EQ(files.offers, std::vector<uint32_t>{1025});
    EXPECT_EQ(h.window().GetTransferFilePath(1025), "/tmp/f");
    EXPECT_EQ(h.window().GetTransferFileSize(9999), 0u);
    h.deliver(
        CMD_SEARCH_RESULT_A,
        [](OutPacket& out) {
            writeList(out, std::vector<SearchEntryA>{{5, 1, "n", "m", 1, 70, "a"}});
        },
        321);
    ASSERT_EQ(searches.searches.size(), 1u);
    EXPECT_EQ(searches.searches[0], (std::pair<std::size_t, uint16_t>{1, 321}));
    h.window().onCommand(cmd::kAddColleague);
    h.window().onCommand(cmd::kAddSubscriber);
    EXPECT_EQ(searches.wizards, (std::vector<uint32_t>{40, 29}));
    h.window().routes().messaging = nullptr;
    h.window().routes().file = nullptr;
    h.window().routes().search = nullptr;
}

} // namespace
} // namespace talmor
