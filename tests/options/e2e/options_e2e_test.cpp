#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/handlingmenu.h"
#include "calls/othermemodlg.h"
#include "calls/procdlg.h"
#include "calls/proclistmodel.h"
#include "calls/servicemsgbox.h"
#include "calls/specialsmssend.h"
#include "console/commandids.h"
#include "console/options/optionparts.h"
#include "console/options/optionsheet.h"
#include "console/options/optionsmsdlg.h"
#include "console/options/optionsounddlg.h"
#include "console/options/optionsystemdlg.h"
#include "console/options/phrasegroup.h"
#include "console/paneslot.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "kit/gbktext.h"
#include "kit/phrasemenupopup.h"
#include "storage/datafiles.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/liveconsole.h"
#include "support/optionfiles.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/typing.h"

namespace talmor::e2e {
namespace {

constexpr int kTimeoutMs = 30000;
constexpr int kHelp = 0;
constexpr int kHelpSound = 1;

using testing::U;

// The sounds played, with their files.
class PlayedFiles : public SoundOutput {
public:
    explicit PlayedFiles(std::shared_ptr<std::vector<std::pair<int, QString>>> played)
        : played_(std::move(played)) {}
    void play(int event, const QString& path) override { played_->emplace_back(event, path); }

private:
    std::shared_ptr<std::vector<std::pair<int, QString>>> played_;
};

// Operator 1024's console with its call parts and the options sheet, in this process on real
// sockets, logged in for the first time on this computer to a real quorvane-server with the
// demo seed.
class OptionsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
        console = std::make_unique<LiveConsole>(server.udpPort(), server.httpPort());
        std::filesystem::remove_all(applicationFolder() + "User/1024");
        InstallOptionParts(console->window());
        runner = dynamic_cast<OptionSheetRunner*>(console->window().routes().options);
        ASSERT_NE(runner, nullptr);
        console->intake().setSoundOutput(std::make_unique<PlayedFiles>(played));
        console->login(1024, "talmor1024");
        ASSERT_TRUE(waitFor([&] { return console->ready(); }, kTimeoutMs));
    }
    void TearDown() override { console.reset(); }

    // Runs `open` while `operate` works the modal sheet; `operate` closes it.
    void whileOpen(const std::function<void()>& open,
                   const std::function<void(COptionSheet&)>& operate) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            if (COptionSheet* sheet = runner->sheet()) {
                seen = true;
                operate(*sheet);
            }
        });
        open();
        EXPECT_TRUE(seen) << "the options sheet did not open";
    }
    void fromMenu(const std::function<void(COptionSheet&)>& operate) {
        whileOpen([&] { console->window().onCommand(cmd::kSystemSettings); }, operate);
    }
    static void ok(COptionSheet& sheet) { sheet.buttons()->button(QDialogButtonBox::Ok)->click(); }
    static void cancel(COptionSheet& sheet) {
        sheet.buttons()->button(QDialogButtonBox::Cancel)->click();
    }

    uint32_t inject(const char* query) {
        const auto answer = control->post(QString("/api/calls/inject?") + query);
        return answer ? static_cast<uint32_t>(answer->object().value("callId").toInt()) : 0;
    }
    bool showsHelpCall(uint32_t callId) {
        return console->intake().pane(kHelp).model().holds(callId);
    }
    CServiceMsgBox* box() {
        return dynamic_cast<CServiceMsgBox*>(
            console->window().findWindow(CServiceMsgBox::kWindowType, 0, 0));
    }
    int helpSounds() const {
        int count = 0;
        for (const auto& sound : *played) {
            count += sound.first == kHelpSound ? 1 : 0;
        }
        return count;
    }
    CProcDlg& list() { return *dynamic_cast<CProcDlg*>(console->window().processPane().pane()); }
    // A help call of subscriber 2001 taken into the processing list and selected there.
    uint32_t takeHelpCall() {
        const uint32_t id = inject("category=0&user=2001");
        CCallPane& pane = console->intake().pane(kHelp);
        EXPECT_TRUE(waitFor([&] { return pane.model().holds(id); }, kTimeoutMs));
        for (int row = 0; row < pane.model().rowCount(); ++row) {
            if (pane.model().record(row).callId == id) {
                pane.view()->selectRow(row);
            }
        }
        pane.takeSelectedCall();
        EXPECT_TRUE(waitFor([&] { return list().model().holds(id); }, kTimeoutMs));
        list().view()->selectRow(list().model().rowOf(id));
        return id;
    }
    static QStringList captions(QMenu& menu) {
        QStringList texts;
        for (QAction* action : menu.actions()) {
            texts << action->text();
        }
        return texts;
    }

    ServerProcess server;
    std::unique_ptr<ControlClient> control;
    std::unique_ptr<LiveConsole> console;
    OptionSheetRunner* runner = nullptr;
    std::shared_ptr<std::vector<std::pair<int, QString>>> played =
        std::make_shared<std::vector<std::pair<int, QString>>>();
};

TEST_F(OptionsEndToEnd, HelpCallsSwitchedOffAreNotTakenInUntilSwitchedOnAgain) {
    if (CServiceMsgBox* open = box()) {
        open->close();
        waitFor([&] { return box() == nullptr; }, kTimeoutMs);
    }
    fromMenu([](COptionSheet& sheet) {
        ASSERT_TRUE(sheet.systemPage().takeHelpCalls()->isChecked());
        sheet.systemPage().takeHelpCalls()->click();
        ok(sheet);
    });
    const int soundsBefore = helpSounds();
    const uint32_t ignored = inject("category=0&user=2001");
    ASSERT_GT(ignored, 0u);
    // An SOS call sent after it shows that the help call has arrived and been judged.
    const uint32_t sos = inject("category=1&user=2002");
    ASSERT_TRUE(waitFor([&] { return console->intake().pane(1).model().holds(sos); }, kTimeoutMs));
    waitFor([] { return false; }, 500);
    EXPECT_FALSE(showsHelpCall(ignored));
    EXPECT_EQ(helpSounds(), soundsBefore);
    if (CServiceMsgBox* open = box()) {
        open->close(); // the SOS call's box
        waitFor([&] { return box() == nullptr; }, kTimeoutMs);
    }

    fromMenu([](COptionSheet& sheet) {
        sheet.systemPage().takeHelpCalls()->click();
        ok(sheet);
    });
    const uint32_t shown = inject("category=0&user=2003");
    ASSERT_TRUE(waitFor([&] { return showsHelpCall(shown); }, kTimeoutMs));
    EXPECT_EQ(helpSounds(), soundsBefore + 1);
    EXPECT_NE(box(), nullptr);
    EXPECT_FALSE(showsHelpCall(ignored));
}

// Edited phrases show in the next phrase menu of the report and family SMS windows, whose
// "自定义" opens the sheet on the page where that list is edited.
TEST_F(OptionsEndToEnd, EditedPhrasesShowInTheHandlingWindowsMenus) {
    fromMenu([](COptionSheet& sheet) {
        CPhraseGroup& quick = sheet.systemPage().quickReplies();
        quick.addButton()->click();
        testing::TypeKeys(quick.edit(), U("马上到"));
        sheet.tabs()->setCurrentIndex(2);
        CPhraseGroup& sms = sheet.smsPage().smsReplies();
        sms.addButton()->click();
        testing::TypeKeys(sms.edit(), U("社区医生已出发"));
        ok(sheet);
    });
    const uint32_t id = takeHelpCall();

    list().runCommand(kCmdReport);
    auto* report = dynamic_cast<COtherMemoDlg*>(
        console->window().findWindow(COtherMemoDlg::kWindowType, id, 0));
    ASSERT_NE(report, nullptr);
    std::unique_ptr<QMenu> quickMenu(report->phrases().build());
    EXPECT_EQ(captions(*quickMenu).last(), U("马上到"));
    QAction* customise = quickMenu->actions().first();
    whileOpen([&] { customise->trigger(); },
              [](COptionSheet& sheet) {
                  EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
                  cancel(sheet);
              });
    report->close();

    list().runCommand(kCmdFamilySms);
    auto* sms = dynamic_cast<CSpecialSmsSend*>(
        console->window().findWindow(CSpecialSmsSend::kWindowType, id, 0));
    ASSERT_NE(sms, nullptr);
    std::unique_ptr<QMenu> smsMenu(sms->phrases().build());
    EXPECT_EQ(captions(*smsMenu).last(), U("社区医生已出发"));
    smsMenu->actions().last()->trigger();
    EXPECT_EQ(sms->edit()->toPlainText(), U("社区医生已出发"));
    customise = smsMenu->actions().first();
    whileOpen([&] { customise->trigger(); },
              [](COptionSheet& sheet) {
                  EXPECT_EQ(sheet.tabs()->currentIndex(), 2);
                  cancel(sheet);
              });
    sms->close();
}

TEST_F(OptionsEndToEnd, AChangedSoundFileIsTheOnePlayedForItsEvent) {
    const QString bell = QString::fromStdString(applicationFolder()) + "bell.wav";
    testing::WriteBytes(bell.toStdString(), testing::WaveBytes());
    runner->setWaveChooser([&](QWidget*) { return bell; });
    fromMenu([](COptionSheet& sheet) {
        sheet.tabs()->setCurrentIndex(1);
        sheet.soundPage().events()->setCurrentIndex(kHelpSound);
        sheet.soundPage().browseButton()->click();
        ok(sheet);
    });
    played->clear();
    const uint32_t id = inject("category=0&user=2001");
    ASSERT_TRUE(waitFor([&] { return showsHelpCall(id); }, kTimeoutMs));
    ASSERT_FALSE(played->empty());
    EXPECT_EQ(played->back(), std::make_pair(kHelpSound, bell));
}

// Over-long, multi-line and non-GBK texts are refused as they are typed or pasted, and an
// over-long text left by an older console is refused on OK: the files stay as they were, byte
// for byte.
TEST_F(OptionsEndToEnd, RefusedTextsLeaveTheFilesUnchanged) {
    const std::string older =
        testing::ReadBytes(userFolder() + storage::kAutoReplyFile) + std::string(60, 'a') + "\n";
    testing::WriteBytes(userFolder() + storage::kAutoReplyFile, older);
    const testing::OptionFiles before(userFolder());
    fromMenu([&](COptionSheet& sheet) {
        CPhraseGroup& quick = sheet.systemPage().quickReplies();
        const QString shown = quick.edit()->toPlainText();
        testing::TypeKeys(quick.edit(), QString(30, QChar(0x4E2D)));
        EXPECT_TRUE(quick.lastRefusal().contains(U("不能超过25个汉字")));
        quick.edit()->insertPlainText(U("第一行\n第二行"));
        EXPECT_TRUE(quick.lastRefusal().contains(U("不能换行")));
        quick.edit()->insertPlainText(U("😀"));
        EXPECT_TRUE(quick.lastRefusal().contains(U("GBK")));
        // Typed key by key, the characters were taken as long as they fitted the 50 bytes.
        const QString kept = quick.edit()->toPlainText();
        EXPECT_TRUE(kept.startsWith(shown));
        EXPECT_GE(ToGbk(kept)->size(), 49u);
        EXPECT_LE(ToGbk(kept)->size(), 50u);
        ok(sheet);
        EXPECT_TRUE(sheet.isVisible());
        ASSERT_FALSE(console->ui.texts("error").empty());
        EXPECT_TRUE(console->ui.texts("error").back().startsWith(
            U("亲爱的用户：第4条离开自动回复留言不能超过25个汉字")));
        cancel(sheet);
    });
    EXPECT_TRUE(testing::OptionFiles(userFolder()) == before);
}

} // namespace
} // namespace talmor::e2e
