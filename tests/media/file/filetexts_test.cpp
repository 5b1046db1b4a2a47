// The pieces of the transfer that compute what is shown or proposed: the offered name made
// safe for the save dialog, and the strip's totals and speed.
#include <gtest/gtest.h>

#include <QLabel>

#include "media/file/offeredname.h"
#include "media/file/sendfiledlg.h"
#include "media/file/transfermeter.h"
#include "messaging/chat/chatnotices.h"
#include "protocol/registeredwindow.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

TEST(OfferedName, KeepsOnlyAPlainNameSoThePeerCannotChooseTheFolder) {
    const struct {
        const char* offered;
        const char* proposed;
    } cases[] = {
        {"../../x", "x"},
        {"..\\..\\windows\\x.ini", "x.ini"},
        {"/etc/passwd", "passwd"},
        {"报告/照片 1.jpg", "照片 1.jpg"},
        {".bashrc", "bashrc"},
        {"...", "file"},
        {"..", "file"},
        {"", "file"},
        {"a\x01\x1f\x7f"
         "b.txt",
         "ab.txt"},
        {"名单.xls", "名单.xls"},
        {"photo\u202Egpj.exe", "photogpj.exe"},
        {"a\u2066b\u2069\u200Fc\u061C.txt", "abc.txt"},
        {"line\r\nbreak\u2028.txt", "linebreak.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeOfferedName(QString::fromUtf8(c.offered)), QString::fromUtf8(c.proposed))
            << c.offered;
    }
}

TEST(OfferedName, IsShownAsOneLineThatNothingReorders) {
    const struct {
        const char* offered;
        const char* shown;
    } cases[] = {
        {"report.doc", "report.doc"},
        {"photo\u202Egpj.exe", "photogpj.exe"},
        {"\u202Bright\u202C\u200E\u2067to\u2068left\u2069", "righttoleft"},
        {"two\r\nlines\n\u2029.txt", "twolines.txt"},
        {"tab\there", "tabhere"},
        {"名单 2026.xls", "名单 2026.xls"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OneLine(QString::fromUtf8(c.offered)), QString::fromUtf8(c.shown)) << c.offered;
    }
}

TEST(TransferMeter, ShowsTotalsAlwaysAndTheSpeedAtMostTwiceASecond) {
    EXPECT_EQ(TransferMeter::Totals(4294967295u, 2049), QStringLiteral("总计:4294967295/2049"));
    EXPECT_EQ(TransferMeter::InitialSpeed(), QStringLiteral("0.00/KBPS"));
    TransferMeter meter(1000);
    EXPECT_FALSE(meter.speed(2048, 1499)); // 499 ms: too soon
    // 2048 bytes in 500 ms: 4 kilobytes a second.
    EXPECT_EQ(meter.speed(2048, 1500), QStringLiteral("4.0KB/S"));
    EXPECT_FALSE(meter.speed(4096, 1700));
    // The new sample counts from the last one: 10240 bytes more in 1000 ms.
    EXPECT_EQ(meter.speed(12288, 2500), QStringLiteral("10.0KB/S"));
}

class ManualTicks : public Ticks {
public:
    int64_t ms() const override { return now; }
    int64_t now = 10000;
};

// A peer that died leaves no frozen speed: after 5 s without progress the strip says that the
// console waits for the peer, and the speed comes back with the next progress.
TEST(TransferStrip, SaysItWaitsForThePeerAfterFiveSecondsWithoutProgress) {
    testing::EnsureApplication();
    ManualTicks ticks;
    WindowRegistry registry;
    CSendFileDlg strip(registry, 7, true, 100000, ticks);
    strip.showProgress(100000, 4096);
    ticks.now += 1000;
    strip.showProgress(100000, 8192);
    ASSERT_TRUE(strip.speed().text().endsWith("KB/S"));
    ticks.now += 4999;
    strip.showProgress(100000, 8192); // the same figure again is no progress
    strip.watchPeer();
    EXPECT_TRUE(strip.speed().text().endsWith("KB/S"));
    ticks.now += 1;
    strip.watchPeer();
    EXPECT_EQ(strip.speed().text(), TransferMeter::WaitingForPeer());
    EXPECT_EQ(strip.speed().text(), QStringLiteral("等待对方..."));
    ticks.now += 1000;
    strip.showProgress(100000, 16384);
    strip.watchPeer();
    EXPECT_TRUE(strip.speed().text().endsWith("KB/S"));
}

} // namespace
} // namespace talmor
