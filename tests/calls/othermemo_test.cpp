#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "calls/callcolumns.h"
#include "calls/handlingmenu.h"
#include "calls/othermemodlg.h"
#include "handlingfixture.h"
#include "kit/appfolders.h"
#include "kit/phrasemenu.h"
#include "kit/phrasemenupopup.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"

namespace talmor {
namespace {

using testing::Body;
using testing::Gbk;
using testing::HandlingFixture;
using testing::U;

// The captions and commands of a phrase popup after "自定义" and its separator.
struct PhraseItems {
    QStringList captions;
    std::vector<int> commands;
};

PhraseItems ItemsOf(QMenu* menu) {
    PhraseItems items;
    const QList<QAction*> actions = menu->actions();
    EXPECT_GE(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), U("自定义"));
    EXPECT_EQ(actions[0]->data().toInt(), 32881);
    EXPECT_TRUE(actions[1]->isSeparator());
    for (int i = 2; i < actions.size(); ++i) {
        items.captions << actions[i]->text();
        items.commands.push_back(actions[i]->data().toInt());
    }
    return items;
}

TEST(PhraseMenuTest, CaptionsAreCutAtWholeCharacters) {
    struct Case {
        const char* name;
        std::string phrase;
        std::size_t bytes;
        std::string caption;
    };
    const Case cases[] = {
        {"20 bytes whole", Gbk("一二三四五六七八九十"), 20, Gbk("一二三四五六七八九十")},
        {"22 bytes cut to 20", Gbk("一二三四五六七八九十百"), 20,
         Gbk("一二三四五六七八九十") + "..."},
        {"a half character is left out", "a" + Gbk("一二三四五六七八九十"), 20,
         "a" + Gbk("一二三四五六七八九") + "..."},
        {"ASCII", std::string(21, 'x'), 20, std::string(20, 'x') + "..."},
        {"60-byte SMS text", std::string(60, 'y'), 50, std::string(50, 'y') + "..."},
        {"empty", "", 20, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PhraseCaption(c.phrase, c.bytes), c.caption) << c.name;
    }
}

class OtherMemoTest : public HandlingFixture {
protected:
    COtherMemoDlg* open(uint32_t callId, uint32_t category) {
        CallRecord call = Call(callId, category);
        listAndSelect({call}, callId);
        list().runCommand(kCmdReport);
        return find<COtherMemoDlg>(callId);
    }
};

TEST_F(OtherMemoTest, ShowsTheCallAndWaitsGreyedForTheConfirmation) {
    ready();
    COtherMemoDlg* report = open(12, 14);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), U("填写呼叫处理情况"));
    EXPECT_EQ(report->titleLabel()->text(), U("家政服务呼叫"));
    EXPECT_EQ(report->titleLabel()->palette().color(QPalette::WindowText), QColor(112, 173, 33));
    EXPECT_EQ(report->findChild<QLabel*>("name")->text(), U("张大爷"));
    EXPECT_EQ(report->findChild<QLabel*>("phone")->text(), U("0755-26602001"));
    EXPECT_EQ(report->findChild<QLabel*>("time")->text(),
              QString::fromStdString(CallTimeText(1700000000)));

    report->edit()->setPlainText(U("已上门处理 <b>完毕</b>"));
    report->okButton()->click();
    EXPECT_FALSE(report->okButton()->isEnabled());
    EXPECT_FALSE(report->cancelButton()->isEnabled());
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_CALL_REPORT);
    Body body(sent[0]);
    EXPECT_EQ(body.u32(), 12U);
    EXPECT_EQ(body.text(), Gbk("已上门处理 <b>完毕</b>"));
    // No time-out: still waiting after long silence.
    settle();
    EXPECT_EQ(find<COtherMemoDlg>(12), report);

    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(12); });
    EXPECT_EQ(h.ui.texts("notice"), std::vector<QString>{U("已成功完成呼叫事件的处理情况记录！")});
    settle();
    EXPECT_EQ(find<COtherMemoDlg>(12), nullptr);
    EXPECT_FALSE(rows().holds(12));
}

TEST_F(OtherMemoTest, CancelClosesWithoutSendingAndRefusedTextsStayOpen) {
    ready();
    COtherMemoDlg* report = open(13, 3);
    ASSERT_NE(report, nullptr);
    // A character GBK cannot write, and a text too long for one request.
    for (const QString& text : {U("处理😀"), QString(3001, 'x')}) {
        report->edit()->setPlainText(text);
        report->okButton()->click();
        EXPECT_TRUE(report->okButton()->isEnabled());
    }
    EXPECT_EQ(h.ui.texts("error").size(), 2u);
    EXPECT_TRUE(requests().empty());
    report->cancelButton()->click();
    settle();
    EXPECT_EQ(find<COtherMemoDlg>(13), nullptr);
    EXPECT_TRUE(requests().empty());
    EXPECT_TRUE(rows().holds(13));
}

TEST_F(OtherMemoTest, QuickPhrasesListAllButInsertOnlyTheFirst21) {
    ready();
    std::vector<std::string> phrases;
    phrases.push_back(Gbk("一二三四五六七八九十"));
    phrases.push_back(Gbk("一二三四五六七八九十百"));
    for (int i = 2; i < 23; ++i) {
        phrases.push_back("phrase " + std::to_string(i) + " & co");
    }
    ASSERT_TRUE(storage::SaveQuickReplies(userFolder(), phrases));
    COtherMemoDlg* report = open(14, 5);
    ASSERT_NE(report, nullptr);
    std::unique_ptr<QMenu> menu(report->phrases().build());
    const PhraseItems items = ItemsOf(menu.get());
    ASSERT_EQ(items.captions.size(), 23);
    EXPECT_EQ(items.captions[0], U("一二三四五六七八九十"));
    EXPECT_EQ(items.captions[1], U("一二三四五六七八九十..."));
    EXPECT_EQ(items.captions[2], U("phrase 2 && co")) << "shown as text, not a mnemonic";
    EXPECT_EQ(items.commands.front(), 40000);
    EXPECT_EQ(items.commands.back(), 40022);

    report->edit()->setPlainText(U("旧内容"));
    menu->actions()[3]->trigger(); // the 22-byte phrase, whole
    EXPECT_EQ(report->edit()->toPlainText(), U("一二三四五六七八九十百"));
    menu->actions()[2 + 20]->trigger(); // command 40020, the 21st
    EXPECT_EQ(report->edit()->toPlainText(), U("phrase 20 & co"));
    menu->actions()[2 + 21]->trigger(); // command 40021: nothing
    menu->actions()[2 + 22]->trigger();
    EXPECT_EQ(report->edit()->toPlainText(), U("phrase 20 & co"));
    // The list as it was when the menu opened, not a later one.
    ASSERT_TRUE(storage::SaveQuickReplies(userFolder(), {"other"}));
    menu->actions()[2]->trigger();
    EXPECT_EQ(report->edit()->toPlainText(), U("一二三四五六七八九十"));
}

// "自定义" runs the options sheet on its first page and loads the options again.
TEST_F(OtherMemoTest, CustomiseOpensTheOptionsSheetAndReloadsTheOptions) {
    ready();
    COtherMemoDlg* report = open(15, 5);
    ASSERT_NE(report, nullptr);
    struct Sheet : OptionsReceiver {
        void runOptionSheet(QWidget* owner, int page) override {
            pages.push_back(page);
            owners.push_back(owner);
            storage::ConsoleOptions changed = window->options();
            changed.setBit(storage::kOptionTakeSosCalls,
                           !changed.bit(storage::kOptionTakeSosCalls));
            storage::SaveOptions(userFolder(), changed);
        }
        CTalmorManagerDlg* window = nullptr;
        std::vector<int> pages;
        std::vector<QWidget*> owners;
    } sheet;
    sheet.window = &h.window();
    h.window().routes().options = &sheet;
    const bool before = h.window().options().bit(storage::kOptionTakeSosCalls);
    std::unique_ptr<QMenu> menu(report->phrases().build());
    menu->actions()[0]->trigger();
    h.window().routes().options = nullptr;
    EXPECT_EQ(sheet.pages, std::vector<int>{0});
    EXPECT_EQ(sheet.owners, std::vector<QWidget*>{report});
    EXPECT_EQ(h.window().options().bit(storage::kOptionTakeSosCalls), !before);
}

} // namespace
} // namespace talmor
