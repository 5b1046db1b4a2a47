#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>

#include "widgets/animatedpicture.h"
#include "widgets/colorlabel.h"
#include "widgets/fadinglabel.h"
#include "widgets/skinbutton.h"

namespace talmor {
namespace {

void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "widgets_tests";
        static char* argv[] = {name, nullptr};
        // Never destroyed: at exit it would go after Qt's own statics and crash the test program.
        new QApplication(argc, argv);
    }
}

QPixmap Filled(QSize size, const QColor& colour) {
    QPixmap picture(size);
    picture.fill(colour);
    return picture;
}

QColor CentreOf(QWidget& widget) {
    return widget.grab().toImage().pixelColor(widget.width() / 2, widget.height() / 2);
}

TEST(SkinButtonTest, TakesTheSizeOfItsPictureAndDrawsTheGreyOneWhenDisabled) {
    EnsureApplication();
    SkinButton button;
    button.setSkin(Filled(QSize(26, 23), Qt::blue), Filled(QSize(26, 23), Qt::cyan),
                   Filled(QSize(26, 23), Qt::darkBlue));
    button.setDisabledSkin(Filled(QSize(26, 23), Qt::gray));
    EXPECT_EQ(button.size(), QSize(26, 23));
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(CentreOf(button), QColor(Qt::blue));
    button.setEnabled(false);
    EXPECT_EQ(CentreOf(button), QColor(Qt::gray));
    button.setEnabled(true);
    QSignalSpy clicked(&button, &SkinButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(ColorLabelTest, ShowsMarkupAsPlainTextInItsColours) {
    EnsureApplication();
    ColorLabel label(QColor(255, 102, 0), QColor(213, 226, 241));
    label.setText("<b>bold</b>");
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 102, 0));
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(213, 226, 241));
    label.resize(40, 10);
    label.setText(QString());
    EXPECT_EQ(CentreOf(label), QColor(213, 226, 241));
}

TEST(FadingLabelTest, EachNewTextFadesInAgain) {
    EnsureApplication();
    FadingLabel label(Qt::black, Qt::white, Qt::gray);
    EXPECT_FALSE(label.fading());
    label.setFadingText("one");
    EXPECT_TRUE(label.fading());
    QTRY_VERIFY_WITH_TIMEOUT(label.step() > 10, 5000);
    label.setFadingText("two");
    EXPECT_LT(label.step(), 10) << "the new text starts from the first colour";
    QTRY_VERIFY_WITH_TIMEOUT(!label.fading(), 5000);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST(AnimatedPictureTest, PlaysAGifAndLeavesAMissingFileEmpty) {
    EnsureApplication();
    AnimatedPicture picture;
    EXPECT_FALSE(picture.load("/nonexistent/StartProgress.gif"));
    picture.start();
    EXPECT_FALSE(picture.playing());
    ASSERT_TRUE(picture.load(TALMOR_START_PROGRESS_GIF));
    picture.start();
    EXPECT_TRUE(picture.playing());
    EXPECT_EQ(picture.frameCount(), 12);
    picture.stop();
    EXPECT_FALSE(picture.playing());
}

} // namespace
} // namespace talmor
