// The desktop notification service reads a notification's body as markup: a caller's name or
// address reaches it escaped, so it is shown as the caller wrote it and never as a link.
#include <gtest/gtest.h>

#include "calls/desktopnotifier.h"
#include "support/eventloop.h"
#include "support/notificationservice.h"
#include "support/qtapp.h"

namespace talmor::e2e {
namespace {

TEST(DesktopNotifierEndToEnd, TheBodyReachesTheServiceEscapedAndTheSummaryAsItIs) {
    PrivateSessionBus bus;
    QString error;
    // The bus first: the process's first use of the session bus must find the private one.
    ASSERT_TRUE(bus.start(error)) << error.toStdString();
    testing::EnsureApplication();
    RecordingNotificationService notifications;
    ASSERT_TRUE(notifications.start(bus.address(), error)) << error.toStdString();

    FreedesktopNotifier notifier;
    const QString body = QString::fromUtf8("<a href=\"file:///etc\">王</a> & <b>街道</b>");
    notifier.show(7, QString::fromUtf8("SOS 等待 0:15"), body, true);
    ASSERT_TRUE(waitFor([&] { return !notifications.shown().empty(); }, 30000));
    const auto& shown = notifications.shown().front();
    EXPECT_EQ(shown.body, QString::fromUtf8("&lt;a href=&quot;file:///etc&quot;&gt;王&lt;/a&gt; "
                                            "&amp; &lt;b&gt;街道&lt;/b&gt;"));
    EXPECT_EQ(shown.summary, QString::fromUtf8("SOS 等待 0:15"));
}

} // namespace
} // namespace talmor::e2e
