#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

#include <memory>

#include "console/checkpasswddlg.h"
#include "console/headerdlg.h"
#include "console/logindlg.h"
#include "console/loginwaitdlg.h"
#include "console/negotiatedlg.h"
#include "console/qtconsoleui.h"
#include "console/qttranslations.h"
#include "kit/appfolders.h"
#include "kit/gbkguard.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "support/fakeui.h"
#include "support/qtapp.h"
#include "widgets/animatedpicture.h"
#include "widgets/fadinglabel.h"

namespace talmor {
namespace {

using testing::FakeUi;
using testing::Gbk;
using testing::TempFolder;
using testing::U;

class LoginDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        setApplicationFolders({folder.path(), folder.path()});
    }
    // Options of `id` with "保存密码" and the backup server, and a saved password.
    void rememberWithPassword(uint32_t id, const std::string& password, bool backup) {
        const std::string user = folder.path() + "User/" + std::to_string(id) + "/";
        setApplicationFolders({folder.path(), folder.path()});
        MakeUserFolder(id);
        storage::ConsoleOptions options = storage::DefaultConsoleOptions(folder.path());
        options.setBit(storage::kOptionSavePassword, true);
        options.setBit(storage::kOptionBackupServer, backup);
        ASSERT_TRUE(storage::SaveOptions(user, options));
        storage::AccountRecord account;
        account.id = id;
        account.password = password;
        ASSERT_TRUE(storage::SaveAccountRecord(user, account));
    }

    TempFolder folder;
    WindowRegistry registry;
    Deployment deployment;
    FakeUi ui;
};

TEST_F(LoginDialogTest, WithoutRememberedAccountsAskForOneAndAcceptIdZero) {
    CLoginDlg dialog(registry, deployment, ui, false);
    EXPECT_EQ(dialog.windowTitle(), U("准备登录"));
    EXPECT_EQ(registry.findWindow(CLoginDlg::kWindowType, 0, 0), &dialog);
    // The prompt is a placeholder: it is no account and typing does not append to it.
    EXPECT_EQ(dialog.accountBox()->count(), 0);
    EXPECT_EQ(dialog.accountBox()->currentText(), QString());
    EXPECT_EQ(dialog.accountBox()->lineEdit()->placeholderText(), U("请输入您的帐号"));
    ASSERT_EQ(dialog.serverBox()->count(), 2);
    EXPECT_EQ(dialog.serverBox()->currentText(), U("主用服务器"));
    EXPECT_EQ(dialog.serverBox()->itemText(1), U("备用服务器"));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.choice().operatorId, 0u);
    EXPECT_EQ(dialog.choice().serverIndex, 0);
}

TEST_F(LoginDialogTest, RememberedAccountRestoresPasswordAndServer) {
    ASSERT_TRUE(storage::RememberAccount(folder.path(), 1025));
    ASSERT_TRUE(storage::RememberAccount(folder.path(), 1024));
    rememberWithPassword(1025, Gbk("密码&1025"), true);
    CLoginDlg dialog(registry, deployment, ui, false);
    ASSERT_EQ(dialog.accountBox()->count(), 2);
    EXPECT_EQ(dialog.accountBox()->itemText(0), "1024");
    EXPECT_EQ(dialog.accountBox()->itemText(1), "1025");
    // 1024 has no options yet: the primary server.
    EXPECT_EQ(dialog.serverBox()->currentIndex(), 0);
    EXPECT_EQ(userFolder(), folder.path() + "User/1024/");

    dialog.passwordEdit()->setText("typed");
    dialog.accountBox()->setCurrentIndex(1);
    EXPECT_EQ(userFolder(), folder.path() + "User/1025/");
    EXPECT_EQ(dialog.passwordEdit()->text(), U("密码&1025"));
    EXPECT_TRUE(dialog.savePasswordBox()->isChecked());
    EXPECT_EQ(dialog.serverBox()->currentText(), U("备用服务器"));

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    const LoginChoice choice = dialog.choice();
    EXPECT_EQ(choice.operatorId, 1025u);
    EXPECT_EQ(choice.password, Gbk("密码&1025"));
    EXPECT_TRUE(choice.savePassword);
    EXPECT_EQ(choice.serverIndex, 1);
}

TEST_F(LoginDialogTest, AccountWithoutSavedOptionsKeepsThePasswordField) {
    ASSERT_TRUE(storage::RememberAccount(folder.path(), 1024));
    ASSERT_TRUE(storage::RememberAccount(folder.path(), 1025));
    rememberWithPassword(1025, "secret", true);
    CLoginDlg dialog(registry, deployment, ui, false);
    EXPECT_EQ(dialog.passwordEdit()->text(), "secret");
    dialog.accountBox()->setCurrentIndex(1);
    EXPECT_EQ(dialog.passwordEdit()->text(), "secret");
    EXPECT_EQ(dialog.serverBox()->currentIndex(), 0);
}

TEST_F(LoginDialogTest, ANewcomerTypesTheAccountIntoAnEmptyBox) {
    CLoginDlg dialog(registry, deployment, ui, false);
    QTest::keyClicks(dialog.accountBox()->lineEdit(), "1024");
    dialog.passwordEdit()->setText("pw");
    dialog.accept();
    EXPECT_EQ(dialog.accountBox()->currentText(), "1024");
    EXPECT_EQ(dialog.choice().operatorId, 1024u);
}

TEST_F(LoginDialogTest, TypedAccountIsReadUpToItsFirstNonDigit) {
    CLoginDlg dialog(registry, deployment, ui, false);
    dialog.accountBox()->setEditText("1024abc");
    dialog.passwordEdit()->setText("pw");
    dialog.accept();
    EXPECT_EQ(dialog.choice().operatorId, 1024u);
    EXPECT_EQ(dialog.choice().password, "pw");
}

TEST_F(LoginDialogTest, PasswordRefusesCharactersGbkCannotHold) {
    CLoginDlg dialog(registry, deployment, ui, false);
    QTest::keyClicks(dialog.passwordEdit(), "ab");
    dialog.passwordEdit()->insert(U("한"));
    EXPECT_EQ(dialog.passwordEdit()->text(), "ab");
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains(U("한")));
    dialog.passwordEdit()->insert(U("联机"));
    EXPECT_EQ(dialog.passwordEdit()->text(), U("ab联机"));
}

TEST_F(LoginDialogTest, ForgotPasswordOpensTheRecoveryPageAndStays) {
    deployment.backOfficeHost = "office.example:8080";
    CLoginDlg dialog(registry, deployment, ui, false);
    dialog.show();
    QTest::mouseClick(dialog.forgotButton(), Qt::LeftButton);
    ASSERT_EQ(ui.opened.size(), 1u);
    EXPECT_EQ(ui.opened[0].toString(), "http://office.example:8080/forgetpwd/forgetpassword.aspx");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.header()->page().toString(), "http://office.example:8080/header.html");
    EXPECT_EQ(dialog.header()->geometry(), QRect(0, 57, 551, 257));
}

TEST_F(LoginDialogTest, CancelRejects) {
    CLoginDlg dialog(registry, deployment, ui, false);
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(MultiPasswordTest, OnlyTheExactPasswordOfTheLevelPasses) {
    testing::EnsureApplication();
    FakeUi ui;
    CCheckPassWdDlg dialog(3, "Secret", ui);
    EXPECT_EQ(dialog.windowTitle(), U("多重密码"));
    EXPECT_EQ(dialog.prompt()->text(), U("请输入第三级多重登录密码"));
    dialog.entry()->setText("secret");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_EQ(ui.texts("error")[0], U("对不起，您所输入的第三级多重密码输入不正确！"));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.entry()->setText("Secret");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(MultiPasswordTest, PromptFadesInOverOneSecond) {
    testing::EnsureApplication();
    FakeUi ui;
    CCheckPassWdDlg dialog(1, "x", ui);
    FadingLabel* prompt = dialog.prompt();
    EXPECT_EQ(prompt->text(), U("请输入第一级多重登录密码"));
    EXPECT_EQ(prompt->colorAt(0), QColor(0, 51, 153));
    EXPECT_EQ(prompt->colorAt(50), QColor(127, 149, 144));
    EXPECT_EQ(prompt->colorAt(100), QColor(255, 247, 134));
    EXPECT_TRUE(prompt->fading());
    EXPECT_EQ(prompt->palette().color(QPalette::WindowText), QColor(0, 51, 153));
    QTRY_VERIFY_WITH_TIMEOUT(!prompt->fading(), 5000);
    EXPECT_EQ(prompt->step(), FadingLabel::kSteps);
    EXPECT_EQ(prompt->palette().color(QPalette::WindowText), QColor(255, 247, 134));
}

TEST(LoginWaitTest, ShowsProgressPlaysTheAnimationAndClosesOnEscapeOnly) {
    testing::EnsureApplication();
    WindowRegistry registry;
    auto* wait = new CLoginWaitDlg(registry, TALMOR_START_PROGRESS_GIF);
    wait->show();
    EXPECT_EQ(wait->windowTitle(), U("登录验证中..."));
    EXPECT_EQ(wait->progressText(), U("正在验证监控座席身份合法性,请稍候..."));
    EXPECT_TRUE(wait->picture()->playing());
    EXPECT_GT(wait->picture()->frameCount(), 1);
    EXPECT_EQ(registry.findWindow(CLoginWaitDlg::kWindowType, 0, 0), wait);

    QTest::keyClick(wait, Qt::Key_Return);
    EXPECT_TRUE(wait->isVisible());
    QSignalSpy dismissed(wait, &CLoginWaitDlg::dismissed);
    QPointer<CLoginWaitDlg> guard(wait);
    QTest::keyClick(wait, Qt::Key_Escape);
    EXPECT_EQ(dismissed.count(), 1);
    QTRY_VERIFY(guard.isNull());
    EXPECT_EQ(registry.findWindow(CLoginWaitDlg::kWindowType, 0, 0), nullptr);
}

TEST(AgreementTest, AcceptAndRefuse) {
    testing::EnsureApplication();
    const QUrl page("http://127.0.0.1:8080/site/soft/Negotiate.htm");
    CNegotiateDlg accepting(page, false);
    EXPECT_EQ(accepting.windowTitle(), U("协议"));
    EXPECT_EQ(accepting.acceptButton()->text(), U("我同意接受协议，继续操作！"));
    QTest::mouseClick(accepting.acceptButton(), Qt::LeftButton);
    EXPECT_EQ(accepting.result(), QDialog::Accepted);
    CNegotiateDlg refusing(page, false);
    EXPECT_EQ(refusing.refuseButton()->text(), U("拒绝"));
    QTest::mouseClick(refusing.refuseButton(), Qt::LeftButton);
    EXPECT_EQ(refusing.result(), QDialog::Rejected);
}

// The boxes for what the server reports return at once, so the event loop (and the socket
// behind it) goes on; each is modal to its owner and goes away once dismissed.
TEST(ServerReportBoxTest, NoticeAndAskReturnAtOnceAndAnswerWhenTheOperatorChooses) {
    testing::EnsureApplication();
    const Deployment deployment;
    QtConsoleUi ui(deployment, false);
    QWidget owner;
    owner.show();
    const auto openBox = [&owner]() -> QMessageBox* {
        const auto boxes = owner.findChildren<QMessageBox*>();
        return boxes.isEmpty() ? nullptr : boxes.back();
    };

    ui.notice(&owner, U("已成功完成呼叫事件的处理情况记录！"));
    QPointer<QMessageBox> notice = openBox();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->windowModality(), Qt::WindowModal);
    EXPECT_EQ(notice->windowTitle(), U("提示"));
    EXPECT_EQ(notice->text(), U("已成功完成呼叫事件的处理情况记录！"));
    notice->button(QMessageBox::Ok)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(notice.isNull());

    std::vector<bool> answers;
    for (const QMessageBox::StandardButton choice : {QMessageBox::Yes, QMessageBox::No}) {
        ui.ask(&owner, U("是否通过？"), [&answers](bool yes) { answers.push_back(yes); });
        QPointer<QMessageBox> question = openBox();
        ASSERT_NE(question, nullptr);
        EXPECT_TRUE(question->isVisible());
        const std::size_t answered = answers.size();
        question->button(choice)->click();
        EXPECT_EQ(answers.size(), answered + 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(question.isNull());
    }
    EXPECT_EQ(answers, (std::vector<bool>{true, false}));
}

// A peer's nickname or a subscriber's words reach every kind of box: none draws them as rich
// text, where a link of any scheme would be shown and could be opened.
TEST(ServerReportBoxTest, EveryBoxShowsItsTextAsPlainText) {
    testing::EnsureApplication();
    const Deployment deployment;
    QtConsoleUi ui(deployment, false);
    QWidget owner;
    owner.show();
    const QString text = QStringLiteral("<a href=\"file:///etc/passwd\">nick</a><b>!</b>");
    struct Case {
        const char* box;
        std::function<void()> open;
    };
    const auto ignore = [](bool) {};
    const Case cases[] = {
        {"notice", [&] { ui.notice(&owner, text); }},
        {"ask", [&] { ui.ask(&owner, text, ignore); }},
        {"askSendError", [&] { ui.askSendError(&owner, text, ignore); }},
        {"information", [&] { ui.information(&owner, text); }},
        {"error", [&] { ui.error(&owner, text); }},
        {"question", [&] { ui.question(&owner, text); }},
        {"warning", [&] { ui.warning(&owner, text); }},
        {"plainMessage", [&] { ui.plainMessage(text); }},
    };
    for (const Case& c : cases) {
        bool read = false;
        // The modal boxes run a loop of their own: the box is read and closed from inside it.
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    EXPECT_EQ(box->textFormat(), Qt::PlainText) << c.box;
                    EXPECT_EQ(box->text(), text) << c.box;
                    read = true;
                    box->done(0);
                }
            }
        });
        c.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return read; }, 5000)) << c.box;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QMessageBox* box : owner.findChildren<QMessageBox*>()) {
            delete box;
        }
    }
}

// The buttons of a question box and the texts of a file dialog come from Qt itself: with its
// translation installed they are Chinese like the console's own texts.
TEST(QtTranslationsTest, StandardButtonsAndFileDialogsSpeakChinese) {
    testing::EnsureApplication();
    const QLocale before;
    const QString englishYes =
        QMessageBox(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No)
            .button(QMessageBox::Yes)
            ->text();
    ASSERT_TRUE(englishYes.contains("Yes"));
    {
        const std::unique_ptr<QTranslator> translator = InstallQtTranslations();
        ASSERT_NE(translator, nullptr) << "qt6-translations-l10n is installed by the setup";
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QString::fromUtf8("是")))
            << box.button(QMessageBox::Yes)->text().toStdString();
        EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QString::fromUtf8("否")));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* lookIn = dialog.findChild<QLabel*>("lookInLabel");
        ASSERT_NE(lookIn, nullptr);
        EXPECT_NE(lookIn->text(), QString("Look in:"));
        EXPECT_EQ(QLocale().language(), QLocale::Chinese);
    }
    QLocale::setDefault(before);
    // Gone with the translator: other tests see Qt's own texts again.
    EXPECT_EQ(QMessageBox(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No)
                  .button(QMessageBox::Yes)
                  ->text(),
              englishYes);
}

} // namespace
} // namespace talmor
