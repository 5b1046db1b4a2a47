#include "media/video/codec/picturecodec.h"

#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace talmor {

namespace {

// A peer's broken pictures would otherwise fill standard output with the decoder's complaints;
// a refused picture is reported as a failed result instead.
void QuietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}

AVFrame* NewYuvFrame() {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr) {
        return nullptr;
    }
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = kPictureWidth;
    frame->height = kPictureHeight;
    if (av_frame_get_buffer(frame, 0) < 0) {
        av_frame_free(&frame);
    }
    return frame;
}

SwsContext* NewConversion(AVPixelFormat from, AVPixelFormat to) {
    return sws_getContext(kPictureWidth, kPictureHeight, from, kPictureWidth, kPictureHeight, to,
                          PictureScaleFlags(), nullptr, nullptr, nullptr);
}

AVCodecContext* OpenContext(const AVCodec* codec, bool encoder) {
    if (codec == nullptr) {
        return nullptr;
    }
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr) {
        return nullptr;
    }
    if (encoder) {
        ApplyPictureEncoderSettings(*context);
    } else {
        context->thread_count = 1;
    }
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
    }
    return context;
}

} // namespace

void ApplyPictureEncoderSettings(AVCodecContext& context) {
    context.width = kPictureWidth;
    context.height = kPictureHeight;
    context.pix_fmt = AV_PIX_FMT_YUV420P;
    context.time_base = AVRational{1, kNominalPictureRate};
    context.framerate = AVRational{kNominalPictureRate, 1};
    // A group of 0 pictures makes every picture a key frame.
    context.gop_size = 0;
    context.max_b_frames = 0;
    context.bit_rate = int64_t{kRequestedPictureBytes} * 8 * kNominalPictureRate;
    context.thread_count = 1;
}

int PictureScaleFlags() {
    return SWS_BILINEAR;
}

PictureDecoder::~PictureDecoder() {
    close();
}

bool PictureDecoder::open() {
    close();
    QuietLibraryLog();
    context_ = OpenContext(avcodec_find_decoder(AV_CODEC_ID_H263), false);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    toRgb_ = NewConversion(AV_PIX_FMT_YUV420P, AV_PIX_FMT_RGB24);
    if (context_ == nullptr || frame_ == nullptr || packet_ == nullptr || toRgb_ == nullptr) {
        close();
        return false;
    }
    return true;
}

void PictureDecoder::close() {
    avcodec_free_context(&context_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    sws_freeContext(toRgb_);
    toRgb_ = nullptr;
}

void PictureDecoder::reset() {
    if (isOpen()) {
        avcodec_flush_buffers(context_);
    }
}

bool PictureDecoder::decompressPicture(const uint8_t* data, std::size_t size,
                                       std::vector<uint8_t>& rgb) {
    rgb.clear();
    if (!isOpen() || data == nullptr || size == 0 || size > INT32_MAX / 2) {
        return false;
    }
    padded_.assign(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::memcpy(padded_.data(), data, size);
    packet_->data = padded_.data();
    packet_->size = static_cast<int>(size);
    const int sent = avcodec_send_packet(context_, packet_);
    packet_->data = nullptr;
    packet_->size = 0;
    if (sent < 0) {
        return false;
    }
    bool drawn = false;
    // Drain every picture the packet yields; the last one is the packet's.
    while (avcodec_receive_frame(context_, frame_) >= 0) {
        // The picture header chooses the size: anything but QCIF in 4:2:0 is not ours.
        drawn = frame_->width == kPictureWidth && frame_->height == kPictureHeight &&
                frame_->format == AV_PIX_FMT_YUV420P;
        if (drawn) {
            rgb.resize(kPictureBytes);
            uint8_t* target[1] = {rgb.data()};
            const int targetStride[1] = {kPictureWidth * 3};
            sws_scale(toRgb_, frame_->data, frame_->linesize, 0, kPictureHeight, target,
                      targetStride);
        }
        av_frame_unref(frame_);
    }
    if (!drawn) {
        rgb.clear();
    }
    return drawn;
}

PictureEncoder::~PictureEncoder() {
    close();
}

bool PictureEncoder::open() {
    close();
    QuietLibraryLog();
    context_ = OpenContext(avcodec_find_encoder(AV_CODEC_ID_H263), true);
    frame_ = NewYuvFrame();
    packet_ = av_packet_alloc();
    toYuv_ = NewConversion(AV_PIX_FMT_RGB24, AV_PIX_FMT_YUV420P);
    if (context_ == nullptr || frame_ == nullptr || packet_ == nullptr || toYuv_ == nullptr) {
        close();
        return false;
    }
    nextPts_ = 0;
    return true;
}

void PictureEncoder::close() {
    avcodec_free_context(&context_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    sws_freeContext(toYuv_);
    toYuv_ = nullptr;
}

bool PictureEncoder::compressPicture(const uint8_t* rgb, std::size_t size,
                                     std::vector<uint8_t>& out) {
    out.clear();
    if (!isOpen() || rgb == nullptr || size != kPictureBytes ||
        av_frame_make_writable(frame_) < 0) {
        return false;
    }
    const uint8_t* source[1] = {rgb};
    const int sourceStride[1] = {kPictureWidth * 3};
    sws_scale(toYuv_, source, sourceStride, 0, kPictureHeight, frame_->data, frame_->linesize);
    frame_->pts = nextPts_++;
    if (avcodec_send_frame(context_, frame_) < 0) {
        return false;
    }
    // No delay without B pictures: the picture's packet is ready at once.
    if (avcodec_receive_packet(context_, packet_) < 0) {
        return false;
    }
    out.assign(packet_->data, packet_->data + packet_->size);
    av_packet_unref(packet_);
    return !out.empty();
}

bool PictureCodec::open() {
    close();
    if (!encoder_.open() || !decoder_.open()) {
        close();
        return false;
    }
    return true;
}

void PictureCodec::close() {
    encoder_.close();
    decoder_.close();
}

} // namespace talmor
