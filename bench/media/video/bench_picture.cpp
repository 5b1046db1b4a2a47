// One QCIF picture compressed and decompressed (RGB24 -> H.263 key frame -> RGB24) through the
// console's picture coder, beside libavcodec and libswscale called bare with the same settings
// in the same run (goal: within 1.2 times the bare time).
#include <benchmark/benchmark.h>

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include "media/video/codec/picturecodec.h"
#include "media/video/codec/testpattern.h"

namespace talmor {
namespace {

constexpr int kPictures = 16;

std::vector<std::vector<uint8_t>> Pictures() {
    std::vector<std::vector<uint8_t>> pictures(kPictures);
    for (int i = 0; i < kPictures; ++i) {
        TestPattern::draw(static_cast<uint32_t>(i), pictures[i]);
    }
    return pictures;
}

void OurCoderRoundTrip(benchmark::State& state) {
    PictureCodec codec;
    if (!codec.open()) {
        state.SkipWithError("coder did not open");
        return;
    }
    const auto pictures = Pictures();
    std::vector<uint8_t> compressed;
    std::vector<uint8_t> decoded;
    std::size_t i = 0;
    for (auto _ : state) {
        const std::vector<uint8_t>& picture = pictures[i++ % kPictures];
        codec.compressPicture(picture.data(), picture.size(), compressed);
        codec.decompressPicture(compressed.data(), compressed.size(), decoded);
        benchmark::DoNotOptimize(decoded.data());
    }
    state.counters["bytes/picture"] = double(compressed.size());
}
BENCHMARK(OurCoderRoundTrip)->Unit(benchmark::kMicrosecond);

// The same work written straight against the libraries, with nothing of the coder between.
void BareLibavcodecRoundTrip(benchmark::State& state) {
    const AVCodec* encoderCodec = avcodec_find_encoder(AV_CODEC_ID_H263);
    const AVCodec* decoderCodec = avcodec_find_decoder(AV_CODEC_ID_H263);
    AVCodecContext* encoder = avcodec_alloc_context3(encoderCodec);
    ApplyPictureEncoderSettings(*encoder);
    AVCodecContext* decoder = avcodec_alloc_context3(decoderCodec);
    decoder->thread_count = 1;
    if (avcodec_open2(encoder, encoderCodec, nullptr) < 0 ||
        avcodec_open2(decoder, decoderCodec, nullptr) < 0) {
        state.SkipWithError("libavcodec did not open");
        return;
    }
    SwsContext* toYuv = sws_getContext(kPictureWidth, kPictureHeight, AV_PIX_FMT_RGB24,
                                       kPictureWidth, kPictureHeight, AV_PIX_FMT_YUV420P,
                                       PictureScaleFlags(), nullptr, nullptr, nullptr);
    SwsContext* toRgb = sws_getContext(kPictureWidth, kPictureHeight, AV_PIX_FMT_YUV420P,
                                       kPictureWidth, kPictureHeight, AV_PIX_FMT_RGB24,
                                       PictureScaleFlags(), nullptr, nullptr, nullptr);
    AVFrame* in = av_frame_alloc();
    in->format = AV_PIX_FMT_YUV420P;
    in->width = kPictureWidth;
    in->height = kPictureHeight;
    av_frame_get_buffer(in, 0);
    AVFrame* out = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const auto pictures = Pictures();
    std::vector<uint8_t> decoded(kPictureBytes);
    int64_t pts = 0;
    std::size_t i = 0;
    int size = 0;
    for (auto _ : state) {
        const uint8_t* source[1] = {pictures[i++ % kPictures].data()};
        const int sourceStride[1] = {kPictureWidth * 3};
        av_frame_make_writable(in);
        sws_scale(toYuv, source, sourceStride, 0, kPictureHeight, in->data, in->linesize);
        in->pts = pts++;
        avcodec_send_frame(encoder, in);
        avcodec_receive_packet(encoder, packet);
        size = packet->size;
        avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
        while (avcodec_receive_frame(decoder, out) >= 0) {
            uint8_t* target[1] = {decoded.data()};
            const int targetStride[1] = {kPictureWidth * 3};
            sws_scale(toRgb, out->data, out->linesize, 0, kPictureHeight, target, targetStride);
            av_frame_unref(out);
        }
        benchmark::DoNotOptimize(decoded.data());
    }
    state.counters["bytes/picture"] = double(size);
    av_packet_free(&packet);
    av_frame_free(&out);
    av_frame_free(&in);
    sws_freeContext(toRgb);
    sws_freeContext(toYuv);
    avcodec_free_context(&decoder);
    avcodec_free_context(&encoder);
}
BENCHMARK(BareLibavcodecRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace talmor

BENCHMARK_MAIN();
