#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "console/options/optionsheet.h"
#include "console/options/optionsmsdlg.h"
#include "console/options/optionsounddlg.h"
#include "console/options/optionsystemdlg.h"
#include "console/options/phrasegroup.h"
#include "storage/datafiles.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "support/fakeui.h"
#include "support/optionfiles.h"
#include "support/qtapp.h"
#include "support/typing.h"

namespace talmor {
namespace {

using testing::Gbk;
using testing::U;
using Texts = std::vector<std::string>;

// The sheet over an operator folder with stored options and the three lists, with a fake
// operator for the message boxes, a recorder for 播放 and an answer for 浏览.
class OptionSheetTest : public ::testing::Test {
protected:
    OptionSheetTest() {
        testing::EnsureApplication();
        stored.bits = 0x7FF & ~(1U << storage::kOptionAutoReconnect);
        for (std::size_t i = 0; i < storage::kSoundEventCount; ++i) {
            stored.soundPaths[i] = folder() + "Sound/" + storage::kSoundEventFiles[i];
        }
        stored.autoReplyText = Gbk("我去吃饭了");
        stored.quickReplyText = Gbk("是吗？");
        stored.smsReplyText = Gbk("120已上门。");
        storage::SaveOptions(folder(), stored);
        storage::SaveAutoReplies(folder(), {Gbk("工作中"), Gbk("我去吃饭了")});
        storage::SaveQuickReplies(folder(), {Gbk("哦。"), Gbk("是吗？"), Gbk("好")});
        storage::SaveSmsReplies(folder(), {Gbk("你家人平安"), Gbk("120已上门。")});
    }

    std::string folder() const { return user.path(); }
    std::unique_ptr<COptionSheet> open(int page = 0) {
        auto sheet = std::make_unique<COptionSheet>(folder(), services, page, nullptr);
        sheet->show();
        return sheet;
    }
    static void ok(COptionSheet& sheet) { sheet.buttons()->button(QDialogButtonBox::Ok)->click(); }
    storage::ConsoleOptions load() const {
        storage::ConsoleOptions options;
        EXPECT_TRUE(storage::LoadOptions(folder(), options));
        return options;
    }
    Texts list(bool (*loader)(const std::string&, Texts&)) const {
        Texts texts;
        loader(folder(), texts);
        return texts;
    }

    testing::TempFolder user;
    storage::ConsoleOptions stored;
    testing::FakeUi ui;
    std::vector<std::pair<int, QString>> played;
    QString chosenFile;
    OptionServices services{
        ui, [this](int event, const QString& file) { played.emplace_back(event, file); },
        [this](QWidget*) { return chosenFile; }, [this] { return iniDefaults; }};
    storage::SafetySwitches iniDefaults;
};

TEST_F(OptionSheetTest, OpensOnTheAskedPageWithTheStoredOptions) {
    auto sheet = open(2);
    EXPECT_EQ(sheet->windowTitle(), U("系统参数"));
    ASSERT_EQ(sheet->tabs()->count(), 3);
    EXPECT_EQ(sheet->tabs()->tabText(0), U("系统设置"));
    EXPECT_EQ(sheet->tabs()->tabText(1), U("声音设置"));
    EXPECT_EQ(sheet->tabs()->tabText(2), U("短信快捷回复"));
    EXPECT_EQ(sheet->tabs()->currentIndex(), 2);

    COptionSystemDlg& system = sheet->systemPage();
    EXPECT_TRUE(system.takeHelpCalls()->isChecked());
    EXPECT_TRUE(system.takeSosCalls()->isChecked());
    EXPECT_FALSE(system.autoReconnect()->isChecked());
    // Each list shows the phrase last confirmed, numbered 1 to n.
    EXPECT_EQ(system.autoReplies().choice()->currentText(), "2");
    EXPECT_EQ(system.autoReplies().edit()->toPlainText(), U("我去吃饭了"));
    EXPECT_EQ(system.quickReplies().choice()->count(), 3);
    EXPECT_EQ(system.quickReplies().edit()->toPlainText(), U("是吗？"));
    EXPECT_EQ(sheet->smsPage().smsReplies().edit()->toPlainText(), U("120已上门。"));
    COptionSoundDlg& sound = sheet->soundPage();
    EXPECT_EQ(sound.events()->count(), 10);
    EXPECT_EQ(sound.events()->itemText(0), U("即时讯息"));
    EXPECT_EQ(sound.events()->itemText(9), U("煤气报警"));
    EXPECT_EQ(sound.path()->text(), QString::fromStdString(stored.soundPaths[0]));
}

// The three safety switches show the INI's values until the page has stored its own; from then
// on the stored ones hold, whatever the INI says.
TEST_F(OptionSheetTest, SafetySwitchesStartFromTheIniUntilThePageStoresThem) {
    iniDefaults.waitingTime = false;
    {
        auto sheet = open();
        COptionSystemDlg& system = sheet->systemPage();
        EXPECT_EQ(system.realert()->text(), U("重复报警直至接听"));
        EXPECT_EQ(system.waitingTime()->text(), U("显示等待时间"));
        EXPECT_EQ(system.journal()->text(), U("记录呼叫处理日志"));
        EXPECT_TRUE(system.realert()->isChecked());
        EXPECT_FALSE(system.waitingTime()->isChecked());
        EXPECT_TRUE(system.journal()->isChecked());
        system.journal()->click();
        sheet->buttons()->button(QDialogButtonBox::Cancel)->click();
    }
    storage::SafetySwitches switches;
    EXPECT_FALSE(storage::LoadSafetySwitches(folder(), switches)) << "Cancel stores nothing";
    {
        auto sheet = open();
        sheet->systemPage().journal()->click();
        ok(*sheet);
    }
    ASSERT_TRUE(storage::LoadSafetySwitches(folder(), switches));
    EXPECT_EQ(switches, (storage::SafetySwitches{true, false, false}));
    iniDefaults = {false, true, true};
    auto sheet = open();
    EXPECT_TRUE(sheet->systemPage().realert()->isChecked());
    EXPECT_FALSE(sheet->systemPage().waitingTime()->isChecked());
    EXPECT_FALSE(sheet->systemPage().journal()->isChecked());
    // The options record keeps its layout and bits.
    EXPECT_EQ(load(), stored);
}

// 接收求助呼叫 on the first page and 打开声音 on the second, in one visit: both are kept, and
// the fields no page shows stay as stored.
TEST_F(OptionSheetTest, OkKeepsTheChangesOfEveryPage) {
    auto sheet = open();
    sheet->systemPage().takeHelpCalls()->click();
    sheet->systemPage().autoReconnect()->click();
    sheet->tabs()->setCurrentIndex(1);
    sheet->soundPage().soundsOn()->click();
    sheet->soundPage().sosReminder()->click();
    ok(*sheet);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    const storage::ConsoleOptions options = load();
    EXPECT_FALSE(options.bit(storage::kOptionTakeHelpCalls));
    EXPECT_TRUE(options.bit(storage::kOptionAutoReconnect));
    EXPECT_FALSE(options.bit(storage::kOptionSoundsOn));
    EXPECT_FALSE(options.bit(storage::kOptionSosReminder));
    EXPECT_TRUE(options.bit(storage::kOptionTakeSosCalls));
    for (int untouched : {0, 2, 3, 8, 9}) {
        EXPECT_EQ(options.bit(untouched), stored.bit(untouched)) << untouched;
    }
    EXPECT_EQ(options.soundPaths, stored.soundPaths);
    EXPECT_EQ(options.smsReplyText, stored.smsReplyText);
}

TEST_F(OptionSheetTest, CancelWritesNothing) {
    const testing::OptionFiles before(folder());
    auto sheet = open();
    sheet->systemPage().takeSosCalls()->click();
    sheet->systemPage().quickReplies().addButton()->click();
    testing::TypeKeys(sheet->systemPage().quickReplies().edit(), U("马上到"));
    sheet->tabs()->setCurrentIndex(2);
    sheet->smsPage().smsReplies().deleteButton()->click();
    sheet->buttons()->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_TRUE(testing::OptionFiles(folder()) == before);
}

// A phrase added and typed is saved by OK without choosing another one first, and the text in
// the edit box becomes the list's current text.
TEST_F(OptionSheetTest, AnAddedPhraseTypedAndConfirmedIsSaved) {
    auto sheet = open();
    CPhraseGroup& quick = sheet->systemPage().quickReplies();
    quick.addButton()->click();
    EXPECT_EQ(quick.choice()->count(), 4);
    EXPECT_EQ(quick.choice()->currentText(), "4");
    EXPECT_EQ(quick.edit()->toPlainText(), QString());
    testing::TypeKeys(quick.edit(), U("马上到"));
    ok(*sheet);
    EXPECT_EQ(list(storage::LoadQuickReplies),
              (Texts{Gbk("哦。"), Gbk("是吗？"), Gbk("好"), Gbk("马上到")}));
    EXPECT_EQ(load().quickReplyText, Gbk("马上到"));
    EXPECT_EQ(load().autoReplyText, Gbk("我去吃饭了"));
}

TEST_F(OptionSheetTest, ChoosingAnotherPhraseKeepsTheEditedOne) {
    auto sheet = open(2);
    CPhraseGroup& sms = sheet->smsPage().smsReplies();
    sms.edit()->clear();
    testing::TypeKeys(sms.edit(), U("已通知社区"));
    sms.choice()->setCurrentIndex(0);
    EXPECT_EQ(sms.edit()->toPlainText(), U("你家人平安"));
    ok(*sheet);
    EXPECT_EQ(list(storage::LoadSmsReplies), (Texts{Gbk("你家人平安"), Gbk("已通知社区")}));
    EXPECT_EQ(load().smsReplyText, Gbk("你家人平安"));
}

TEST_F(OptionSheetTest, DeletingTheFirstOfThreeShowsTheNextAndRenumbers) {
    auto sheet = open();
    CPhraseGroup& quick = sheet->systemPage().quickReplies();
    quick.choice()->setCurrentIndex(0);
    quick.deleteButton()->click();
    ASSERT_EQ(quick.choice()->count(), 2);
    EXPECT_EQ(quick.choice()->itemText(0), "1");
    EXPECT_EQ(quick.choice()->itemText(1), "2");
    EXPECT_EQ(quick.choice()->currentIndex(), 0);
    EXPECT_EQ(quick.edit()->toPlainText(), U("是吗？"));
}

// The only phrase deleted: an empty list, the edit box and 删除 greyed, the file written empty.
// The automatic replies behave like the others.
TEST_F(OptionSheetTest, DeletingTheOnlyPhraseLeavesAnEmptyListAndFile) {
    storage::SaveAutoReplies(folder(), {Gbk("工作中")});
    auto sheet = open();
    CPhraseGroup& away = sheet->systemPage().autoReplies();
    away.deleteButton()->click();
    EXPECT_EQ(away.choice()->count(), 0);
    EXPECT_FALSE(away.edit()->isEnabled());
    EXPECT_FALSE(away.deleteButton()->isEnabled());
    ok(*sheet);
    EXPECT_EQ(testing::ReadBytes(folder() + storage::kAutoReplyFile), "");
    EXPECT_EQ(load().autoReplyText, "");
}

TEST_F(OptionSheetTest, EmptyListsStartWithTheirEditBoxesDisabled) {
    for (const char* file :
         {storage::kAutoReplyFile, storage::kQuickReplyFile, storage::kSmsReplyFile}) {
        std::remove((folder() + file).c_str());
    }
    auto sheet = open();
    for (CPhraseGroup* group :
         {&sheet->systemPage().autoReplies(), &sheet->systemPage().quickReplies(),
          &sheet->smsPage().smsReplies()}) {
        EXPECT_FALSE(group->edit()->isEnabled());
        EXPECT_FALSE(group->deleteButton()->isEnabled());
        group->addButton()->click();
        EXPECT_TRUE(group->edit()->isEnabled());
        EXPECT_TRUE(group->deleteButton()->isEnabled());
    }
}

// What the operator types is refused at once when it breaks a rule of the list files: the
// edit box keeps the text it had and the reason is shown beside it.
TEST_F(OptionSheetTest, TypingThatBreaksARuleIsUndone) {
    auto sheet = open();
    CPhraseGroup& quick = sheet->systemPage().quickReplies();
    quick.edit()->clear();
    testing::TypeKeys(quick.edit(), QString(25, QChar(0x4E2D)));
    EXPECT_TRUE(quick.lastRefusal().isEmpty());
    struct Case {
        QString typed;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {U("中"), "不能超过25个汉字（50个字节）"},
        {U("a"), "不能超过25个汉字"},
        {U("\n"), "不能换行"},
    };
    for (const Case& c : cases) {
        testing::TypeKeys(quick.edit(), c.typed);
        EXPECT_EQ(quick.edit()->toPlainText(), QString(25, QChar(0x4E2D)));
        EXPECT_TRUE(quick.lastRefusal().contains(U(c.refusal)))
            << quick.lastRefusal().toStdString();
    }
    // A paste of a character GBK cannot hold.
    quick.edit()->insertPlainText(U("😀"));
    EXPECT_EQ(quick.edit()->toPlainText(), QString(25, QChar(0x4E2D)));
    EXPECT_TRUE(quick.lastRefusal().contains(U("“😀”")));
}

// Lists written by an older console may hold lines that break the rules (pieces of a long line
// cut in the middle of a character, over-long texts): OK refuses them with the phrase shown and
// writes nothing; the operator can shorten the phrase and then confirm.
TEST_F(OptionSheetTest, OlderPhrasesThatBreakTheRulesAreRefusedOnOkUntilMended) {
    const std::string longLine(30, '\xD6'); // 15 x 种 (D6D6): 30 bytes, fine
    testing::WriteBytes(folder() + storage::kQuickReplyFile,
                        Gbk("哦。") + "\n" + longLine + longLine + "\n");
    const testing::OptionFiles before(folder());
    auto sheet = open();
    CPhraseGroup& quick = sheet->systemPage().quickReplies();
    ok(*sheet);
    EXPECT_TRUE(sheet->isVisible());
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(
        ui.texts("error")[0].startsWith(U("亲爱的用户：第2条快捷回复短语不能超过25个汉字")));
    EXPECT_EQ(quick.choice()->currentIndex(), 1);
    EXPECT_TRUE(testing::OptionFiles(folder()) == before);

    // Shortened key by key (each step still too long, each one taken).
    quick.edit()->setFocus();
    quick.edit()->moveCursor(QTextCursor::End);
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(quick.edit(), Qt::Key_Backspace);
    }
    EXPECT_EQ(quick.edit()->toPlainText().size(), 24);
    ok(*sheet);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(list(storage::LoadQuickReplies), (Texts{Gbk("哦。"), std::string(48, '\xD6')}));
}

// Only the pages the operator has seen are checked and written.
TEST_F(OptionSheetTest, PagesNotShownAreNotWritten) {
    testing::WriteBytes(folder() + storage::kQuickReplyFile, std::string(127, 'x') + "\n");
    const std::string quickBefore = testing::ReadBytes(folder() + storage::kQuickReplyFile);
    auto sheet = open(2);
    sheet->smsPage().smsReplies().choice()->setCurrentIndex(0);
    ok(*sheet);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_TRUE(ui.texts("error").empty());
    EXPECT_EQ(testing::ReadBytes(folder() + storage::kQuickReplyFile), quickBefore);
    EXPECT_EQ(load().smsReplyText, Gbk("你家人平安"));
    EXPECT_EQ(load().quickReplyText, stored.quickReplyText);
}

TEST_F(OptionSheetTest, BrowsingTakesOnlyPlayableWaveFiles) {
    const std::string wave = folder() + "bell.wav";
    testing::WriteBytes(wave, testing::WaveBytes());
    const std::string text = folder() + "readme.wav";
    testing::WriteBytes(text, "text");
    auto sheet = open(1);
    COptionSoundDlg& sound = sheet->soundPage();
    sound.events()->setCurrentIndex(1);
    const QString before = sound.path()->text();

    chosenFile = QString::fromStdString(text);
    sound.browseButton()->click();
    EXPECT_EQ(sound.path()->text(), before);
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains(U("“求助报警”的声音文件")));

    chosenFile.clear(); // cancelled
    sound.browseButton()->click();
    EXPECT_EQ(sound.path()->text(), before);

    chosenFile = QString::fromStdString(wave);
    sound.browseButton()->click();
    EXPECT_EQ(sound.path()->text(), chosenFile);
    sound.playButton()->click();
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0], std::make_pair(1, chosenFile));

    sound.events()->setCurrentIndex(2);
    sound.events()->setCurrentIndex(1);
    EXPECT_EQ(sound.path()->text(), chosenFile);
    ok(*sheet);
    const storage::ConsoleOptions options = load();
    EXPECT_EQ(options.soundPaths[1], wave);
    EXPECT_EQ(options.soundPaths[0], stored.soundPaths[0]);
}

// A path typed by hand is checked on OK; a stored path is kept even when its file is gone, and
// keeps its bytes (an older file may hold GBK).
TEST_F(OptionSheetTest, TypedPathsAreCheckedOnOkAndStoredOnesKept) {
    stored.soundPaths[3] = Gbk("/声音/上线.wav");
    storage::SaveOptions(folder(), stored);
    const testing::OptionFiles before(folder());
    auto sheet = open(1);
    COptionSoundDlg& sound = sheet->soundPage();
    sound.events()->setCurrentIndex(3);
    EXPECT_EQ(sound.path()->text(), U("/声音/上线.wav"));
    sound.playButton()->click(); // no such file: nothing played, nothing said
    EXPECT_TRUE(played.empty());
    sound.events()->setCurrentIndex(5);
    sound.path()->setText(QString::fromStdString(folder() + "nothing.wav"));
    sound.events()->setCurrentIndex(0);
    ok(*sheet);
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains(U("“脱机提醒”的声音文件")));
    EXPECT_EQ(sound.events()->currentIndex(), 5);
    EXPECT_TRUE(testing::OptionFiles(folder()) == before);

    sound.path()->clear(); // no sound for this event
    ok(*sheet);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    const storage::ConsoleOptions options = load();
    EXPECT_EQ(options.soundPaths[3], Gbk("/声音/上线.wav"));
    EXPECT_EQ(options.soundPaths[5], "");
}

} // namespace
} // namespace talmor
