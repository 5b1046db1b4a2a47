#include <gtest/gtest.h>

#include <cmath>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "media/video/codec/picturecodec.h"
#include "media/video/codec/testpattern.h"

namespace talmor {
namespace {

double Distance(const TestPattern::Rgb& a, const TestPattern::Rgb& b) {
    double worst = 0;
    for (int c = 0; c < 3; ++c) {
        worst = std::max(worst, std::fabs(a[c] - b[c]));
    }
    return worst;
}

// One picture of `width` x `height` compressed by the library itself: what another program
// could send in place of ours.
std::vector<uint8_t> ForeignPicture(int width, int height) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->width = width;
    context->height = height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, 15};
    context->gop_size = 0;
    std::vector<uint8_t> out;
    if (avcodec_open2(context, codec, nullptr) == 0) {
        AVFrame* frame = av_frame_alloc();
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = width;
        frame->height = height;
        av_frame_get_buffer(frame, 0);
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane == 0 ? height : height / 2;
            for (int y = 0; y < rows; ++y) {
                std::fill_n(frame->data[plane] + y * frame->linesize[plane], frame->linesize[plane],
                            plane == 0 ? 120 : 128);
            }
        }
        frame->pts = 0;
        AVPacket* packet = av_packet_alloc();
        if (avcodec_send_frame(context, frame) == 0 &&
            avcodec_receive_packet(context, packet) == 0) {
            out.assign(packet->data, packet->data + packet->size);
        }
        av_packet_free(&packet);
        av_frame_free(&frame);
    }
    avcodec_free_context(&context);
    return out;
}

class PictureCodecTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(codec.open()); }
    PictureCodec codec;
    std::vector<uint8_t> picture;
    std::vector<uint8_t> compressed;
    std::vector<uint8_t> decoded;
};

TEST_F(PictureCodecTest, PatternPicturesRoundTripNearTheRequestedSizeWithTheirColours) {
    std::size_t total = 0;
    constexpr int kPictures = 30;
    for (int i = 0; i < kPictures; ++i) {
        TestPattern::draw(i, picture);
        ASSERT_TRUE(codec.compressPicture(picture.data(), picture.size(), compressed)) << i;
        // Every picture is a key frame: a fresh decoder decodes any one of them alone.
        PictureCodec fresh;
        ASSERT_TRUE(fresh.open());
        ASSERT_TRUE(fresh.decompressPicture(compressed.data(), compressed.size(), decoded)) << i;
        ASSERT_EQ(decoded.size(), kPictureBytes);
        EXPECT_LT(Distance(TestPattern::meanColour(decoded, 0, TestPattern::kBarRows),
                           TestPattern::barsMean()),
                  12.0)
            << i;
        EXPECT_LT(Distance(TestPattern::meanColour(decoded, TestPattern::kBarRows, kPictureHeight),
                           TestPattern::bandMean()),
                  12.0)
            << i;
        EXPECT_LT(compressed.size(), 4078u);
        total += compressed.size();
    }
    const double mean = double(total) / kPictures;
    EXPECT_GT(mean, 1000.0);
    EXPECT_LT(mean, 3000.0);
}

TEST_F(PictureCodecTest, OnlyWholePicturesAreCompressed) {
    for (std::size_t size :
         {std::size_t{0}, kPictureBytes - 1, kPictureBytes + 1, kPictureBytes * 2}) {
        std::vector<uint8_t> buffer(size, 100);
        EXPECT_FALSE(codec.compressPicture(buffer.data(), buffer.size(), compressed)) << size;
        EXPECT_TRUE(compressed.empty());
    }
}

TEST_F(PictureCodecTest, RefusesBytesThatAreNotOneOfOurPictures) {
    TestPattern::draw(3, picture);
    ASSERT_TRUE(codec.compressPicture(picture.data(), picture.size(), compressed));
    const std::vector<uint8_t> cif = ForeignPicture(352, 288);
    const std::vector<uint8_t> subQcif = ForeignPicture(128, 96);
    ASSERT_FALSE(cif.empty());
    ASSERT_FALSE(subQcif.empty());
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"noise", std::vector<uint8_t>(500, 0x5A)},
        {"a header alone", std::vector<uint8_t>(compressed.begin(), compressed.begin() + 6)},
        {"a picture of another size (CIF)", cif},
        {"a picture of another size (sub-QCIF)", subQcif},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(codec.decompressPicture(c.bytes.data(), c.bytes.size(), decoded)) << c.what;
        EXPECT_TRUE(decoded.empty()) << c.what;
    }
    // The refusals leave the decoder usable.
    EXPECT_TRUE(codec.decompressPicture(compressed.data(), compressed.size(), decoded));
    EXPECT_EQ(decoded.size(), kPictureBytes);
}

TEST(PictureCodecClosed, DoesNothingWhenNotOpen) {
    PictureCodec codec;
    std::vector<uint8_t> picture(kPictureBytes, 1);
    std::vector<uint8_t> out{1};
    EXPECT_FALSE(codec.compressPicture(picture.data(), picture.size(), out));
    EXPECT_FALSE(codec.decompressPicture(picture.data(), 100, out));
    ASSERT_TRUE(codec.open());
    codec.close();
    EXPECT_FALSE(codec.compressPicture(picture.data(), picture.size(), out));
}

} // namespace
} // namespace talmor
