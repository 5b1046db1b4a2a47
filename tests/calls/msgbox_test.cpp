#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <set>

#include "calls/servicemsgbox.h"
#include "calls/slidemotion.h"
#include "kit/appfolders.h"
#include "kit/soundplayer.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::U;

TEST(SlideMotion, RisesHoldsSinksAndEndsAtZero) {
    SlideMotion motion;
    EXPECT_EQ(motion.height(), 0);
    int ticks = 0;
    while (motion.phase() == SlideMotion::Phase::Rising) {
        motion.tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, SlideMotion::kFullHeight + 1) << "one pixel a tick, then the turn";
    EXPECT_EQ(motion.height(), SlideMotion::kFullHeight);
    motion.tick();
    EXPECT_EQ(motion.phase(), SlideMotion::Phase::Holding) << "ticks do not end the hold";
    motion.holdOver();
    ticks = 0;
    while (motion.phase() == SlideMotion::Phase::Sinking) {
        motion.tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, SlideMotion::kFullHeight + 1);
    EXPECT_EQ(motion.phase(), SlideMotion::Phase::Done);
    EXPECT_EQ(motion.height(), 0);
    motion.holdOver();
    EXPECT_EQ(motion.phase(), SlideMotion::Phase::Done);
}

TEST(ServiceMsgBox, PicturePerCategoryAndCustomerServiceForOthers) {
    testing::EnsureApplication();
    EXPECT_EQ(CategoryPicture(19), ":/calls/category19.svg");
    EXPECT_EQ(CategoryPicture(10), ":/calls/category10.svg");
    EXPECT_EQ(CategoryPicture(27), ":/calls/category10.svg");
    EXPECT_EQ(CategoryPicture(4000000000U), ":/calls/category10.svg");
    WindowRegistry registry;
    std::vector<QImage> pictures;
    for (uint32_t code = 0; code < 27; ++code) {
        CServiceMsgBox box(registry, 2000 + code, "name", "phone", code);
        const QImage picture = box.picture().toImage();
        ASSERT_EQ(picture.size(), QSize(182, 117)) << code;
        for (const QImage& earlier : pictures) {
            EXPECT_NE(picture, earlier) << code;
        }
        pictures.push_back(picture);
    }
    CServiceMsgBox other(registry, 1, "", "", 27);
    EXPECT_EQ(other.category(), 10);
    EXPECT_EQ(other.picture().toImage(), pictures[10]);
}

TEST(ServiceMsgBox, RisesFromTheCornerAndClosesAfterItsCourse) {
    testing::EnsureApplication();
    WindowRegistry registry;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QPointer<CServiceMsgBox> box =
        new CServiceMsgBox(registry, 2001, testing::Gbk("李四"), "138", 1);
    EXPECT_EQ(registry.findWindow(CServiceMsgBox::kWindowType, 2001, 0), box.data());
    EXPECT_EQ(box->labelText(), U("李四(138)"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return box->motion().phase() == SlideMotion::Phase::Holding; }, 10000));
    EXPECT_EQ(box->geometry(), QRect(area.right() + 1 - 182, area.bottom() + 1 - 117, 182, 117));
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, 20000));
    EXPECT_EQ(registry.findWindow(CServiceMsgBox::kWindowType, 0, 0), nullptr);

    // The next box starts from nothing again.
    QPointer<CServiceMsgBox> next = new CServiceMsgBox(registry, 2002, "", "", 2);
    EXPECT_LE(next->motion().height(), 1);
    delete next.data();
}

class Recorder : public SoundOutput {
public:
    void play(int event, const QString& path) override { played.emplace_back(event, path); }
    std::vector<std::pair<int, QString>> played;
};

TEST(SoundPlayer, EventsZeroToNineWithSoundsOnOnly) {
    testing::EnsureApplication();
    testing::TempFolder folder;
    setApplicationFolders({folder.path(), "/opt/share/"});
    storage::ConsoleOptions options = storage::DefaultConsoleOptions(folder.path());
    Recorder output;
    SoundPlayer player(options, output);
    for (int event : {-1, 0, 2, 9, 10, 1218}) {
        player.PlaySoundEvent(event);
    }
    ASSERT_EQ(output.played.size(), 3u);
    EXPECT_EQ(output.played[0].first, 0);
    EXPECT_EQ(output.played[1].first, 2);
    EXPECT_EQ(output.played[2].first, 9);
    // Default files missing from the data folder come from the installed assets.
    EXPECT_EQ(output.played[1].second, "/opt/share/Sound/special.wav");

    options.soundPaths[2] = testing::Gbk("/声音/救.wav");
    player.PlaySoundEvent(2);
    EXPECT_EQ(output.played.back().second, U("/声音/救.wav"));
    options.soundPaths[2] = "/sounds/siren.wav";
    player.PlaySoundEvent(2);
    EXPECT_EQ(output.played.back().second, "/sounds/siren.wav");

    options.setBit(storage::kOptionSoundsOn, false);
    output.played.clear();
    for (int event = 0; event < 10; ++event) {
        player.PlaySoundEvent(event);
    }
    EXPECT_TRUE(output.played.empty());
}

} // namespace
} // namespace talmor
