#include <gtest/gtest.h>

#include <QImage>

#include "calls/rowimages.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

TEST(RowImages, SixDistinctSixteenPixelImagesAndNoneBeyond) {
    testing::EnsureApplication();
    std::vector<QImage> images;
    for (int index = 0; index < kRowImageCount; ++index) {
        const QIcon icon = RowImage(index);
        ASSERT_FALSE(icon.isNull()) << index;
        const QImage image = icon.pixmap(16, 16).toImage();
        EXPECT_EQ(image.size(), QSize(16, 16)) << index;
        for (const QImage& earlier : images) {
            EXPECT_NE(image, earlier) << index;
        }
        images.push_back(image);
    }
    EXPECT_TRUE(RowImage(-1).isNull());
    EXPECT_TRUE(RowImage(kRowImageCount).isNull());
}

} // namespace
} // namespace talmor
