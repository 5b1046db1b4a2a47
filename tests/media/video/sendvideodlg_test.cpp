#include <gtest/gtest.h>

#include <QImage>

#include <vector>

#include "media/video/codec/picturecodec.h"
#include "media/video/sendvideodlg.h"
#include "protocol/registeredwindow.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

std::vector<uint8_t> Flat(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb(kPictureBytes);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
    return rgb;
}

bool IsColour(const QImage& image, int x, int y, QRgb colour) {
    const QRgb at = image.pixel(x, y);
    return std::abs(qRed(at) - qRed(colour)) < 8 && std::abs(qGreen(at) - qGreen(colour)) < 8 &&
           std::abs(qBlue(at) - qBlue(colour)) < 8;
}

TEST(SendVideoDlg, DrawsThePeerLargeAndTheOwnPictureSmallWhereTheyBelong) {
    testing::EnsureApplication();
    WindowRegistry registry;
    CSendVideoDlg pane(registry, 1025);
    EXPECT_EQ(registry.findWindow(CSendVideoDlg::kWindowType, 1025, 0), &pane);
    pane.resize(CSendVideoDlg::kPaneWidth, 324);
    const std::vector<uint8_t> red = Flat(255, 0, 0);
    const std::vector<uint8_t> green = Flat(0, 255, 0);
    pane.setPeerPicture(red.data());
    pane.setOwnPicture(green.data());
    EXPECT_EQ(pane.peerPicture().size(), QSize(167, 139));
    EXPECT_EQ(pane.ownPicture().size(), QSize(97, 90)) << "the top 90 of 93 rows";
    const QImage shown = pane.grab().toImage();

    struct Spot {
        int x;
        int y;
        QRgb colour;
        bool expected;
    };
    const int ownTop = 324 - 120;
    const std::vector<Spot> spots = {
        {7, 28, qRgb(255, 0, 0), true},
        {173, 166, qRgb(255, 0, 0), true},
        {6, 28, qRgb(255, 0, 0), false},
        {7, 27, qRgb(255, 0, 0), false},
        {174, 100, qRgb(255, 0, 0), false},
        {41, ownTop, qRgb(0, 255, 0), true},
        {137, ownTop + 89, qRgb(0, 255, 0), true},
        {40, ownTop + 10, qRgb(0, 255, 0), false},
        {60, ownTop + 90, qRgb(0, 255, 0), false},
        {138, ownTop + 10, qRgb(0, 255, 0), false},
    };
    for (const Spot& spot : spots) {
        EXPECT_EQ(IsColour(shown, spot.x, spot.y, spot.colour), spot.expected)
            << spot.x << "," << spot.y;
    }

    pane.clearPictures();
    const QImage cleared = pane.grab().toImage();
    EXPECT_FALSE(IsColour(cleared, 90, 100, qRgb(255, 0, 0)));
}

// A pane shorter than its two backgrounds (a chat window on a small screen): the peer's picture
// stays within what shows of its frame and never covers the own picture's part below.
TEST(SendVideoDlg, ThePeersPictureStaysInItsFrameInAShortPane) {
    testing::EnsureApplication();
    WindowRegistry registry;
    CSendVideoDlg pane(registry, 1025);
    const int height = 250;
    pane.resize(CSendVideoDlg::kPaneWidth, height);
    const std::vector<uint8_t> red = Flat(255, 0, 0);
    pane.setPeerPicture(red.data());
    const QImage shown = pane.grab().toImage();
    const int lowerTop = height - 144;
    EXPECT_TRUE(IsColour(shown, 90, lowerTop - 1, qRgb(255, 0, 0)));
    for (int y = lowerTop; y < height; y += 5) {
        EXPECT_FALSE(IsColour(shown, 90, y, qRgb(255, 0, 0))) << y;
    }
}

} // namespace
} // namespace talmor
