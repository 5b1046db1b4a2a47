#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QUrlQuery>
#include <QWebEngineView>

#include "console/commandids.h"
#include "console/ecpdlg.h"
#include "console/myworkdlg.h"
#include "console/webpane.h"
#include "server/standinpages.h"
#include "support/consoleharness.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;

constexpr int kLoadTimeoutMs = 30000;

QUrl Page(const char* title, const char* body = "") {
    return QUrl(QString("data:text/html,<title>%1</title>%2").arg(title, body));
}

bool WaitForTitle(QWebEngineView* view, const QString& title) {
    return QTest::qWaitFor([&] { return view->title() == title; }, kLoadTimeoutMs);
}

TEST(WorkPaneTest, NavigatesAndMovesThroughItsHistory) {
    ConsoleHarness h(Deployment(), true);
    h.login();
    CTalmorManagerDlg& w = h.window();
    w.ShowInWorkPane(Page("first"));
    ASSERT_NE(w.workPane().browser(), nullptr);
    QWebEngineView* view = w.workPane().browser()->view();
    ASSERT_TRUE(WaitForTitle(view, "first"));
    w.ShowInWorkPane(Page("second"));
    ASSERT_TRUE(WaitForTitle(view, "second"));
    w.onCommand(cmd::kButtonBack);
    EXPECT_TRUE(WaitForTitle(view, "first"));
    w.onCommand(cmd::kButtonForward);
    EXPECT_TRUE(WaitForTitle(view, "second"));
    // The browser sits 2 pixels in from the pane's edges.
    EXPECT_EQ(w.workPane().browser()->geometry(), w.workPane().rect().adjusted(2, 2, -2, -2));
}

TEST(WorkPaneTest, EnterStaysInThePane) {
    ConsoleHarness h;
    h.login();
    CTalmorManagerDlg& w = h.window();
    w.onCommand(cmd::kButtonWorkTab);
    ASSERT_TRUE(w.isVisible());
    // The window's own Enter hides it to the tray (minimises it where there is no tray).
    const auto away = [&w] { return !w.isVisible() || w.isMinimized(); };
    QTest::keyClick(&w.workPane(), Qt::Key_Return);
    EXPECT_FALSE(away()) << "Enter in the pane must not hide the main window";
    w.setFocus();
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_TRUE(away()) << "the window's own Enter still does";
}

TEST(WorkPaneTest, WithoutABrowserThePaneOnlyRemembersThePage) {
    ConsoleHarness h;
    h.login();
    h.window().ShowInWorkPane(QUrl("http://bo.test/a.aspx"));
    EXPECT_EQ(h.window().workPane().browser(), nullptr);
    EXPECT_EQ(h.window().workPane().requested(), QUrl("http://bo.test/a.aspx"));
    h.window().onCommand(cmd::kButtonBack);
    h.window().onCommand(cmd::kButtonRefresh);
    EXPECT_EQ(h.window().noticeStrip(), nullptr);
}

TEST(NoticeStripTest, ShowsTheHeaderUntilTheLoginThenTheNotice) {
    Deployment d;
    d.backOfficeHost = "bo.test";
    ConsoleHarness h(d, true);
    QCoreApplication::processEvents();
    ASSERT_NE(h.window().noticeStrip(), nullptr);
    EXPECT_EQ(h.window().noticeStrip()->url(), QUrl("http://bo.test/header.html"));
    h.login();
    // The window is still hidden when the login completes: the width is that of its client
    // area all the same.
    EXPECT_EQ(h.window().noticeStrip()->url().toString(),
              QString("http://bo.test/guendong.aspx?GDWidth=%1")
                  .arg(h.window().clientSize().width() - 600));
    EXPECT_GT(h.window().clientSize().width(), 600);
}

TEST(CallOutWindowTest, TheCancelElementOfTheCallOutPageClosesTheWindow) {
    testing::EnsureApplication();
    // The development server's call-out page, as the console asks for it.
    const QByteArray html = server::standInPage(
        "/callout/ecp/ecpCallOut.aspx",
        QUrlQuery("manager_id=1024&randnum=0123456789ABCDEFGHIJ&c=13800000000&callid=77"), "");
    QPointer<CECPDlg> dialog = new CECPDlg(true, nullptr);
    dialog->navigate(QUrl("data:text/html;charset=utf-8;base64," + html.toBase64()));
    dialog->show();
    QWebEngineView* view = dialog->browser()->view();
    ASSERT_TRUE(WaitForTitle(view, "ecp/ecpCallOut.aspx"));
    // The hook's channel connects once the page is in.
    QTest::qWait(200);
    view->page()->runJavaScript("document.getElementById('ButtonCall').click()");
    QTest::qWait(500);
    ASSERT_FALSE(dialog.isNull()) << "only the cancel element closes the window";
    view->page()->runJavaScript("document.getElementById('ButtonCancel').click()");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, kLoadTimeoutMs));
    delete dialog.data();
}

TEST(CallOutWindowTest, AClickInsideTheCancelElementClosesTheWindowToo) {
    testing::EnsureApplication();
    QPointer<CECPDlg> dialog = new CECPDlg(true, nullptr);
    dialog->navigate(Page("ecp", "<div id='ButtonCancel'><span id='inner'>cancel</span></div>"));
    dialog->show();
    ASSERT_TRUE(WaitForTitle(dialog->browser()->view(), "ecp"));
    QTest::qWait(200);
    dialog->browser()->view()->page()->runJavaScript("document.getElementById('inner').click()");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, kLoadTimeoutMs));
    delete dialog.data();
}

} // namespace
} // namespace talmor
