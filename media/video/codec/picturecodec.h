#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace talmor {

// The video chat's picture format: QCIF, 24-bit RGB, top row first, no padding.
constexpr int kPictureWidth = 176;
constexpr int kPictureHeight = 144;
constexpr std::size_t kPictureBytes = 76032; // 176 x 144 x 3
// What the coder aims at for each compressed picture.
constexpr int kRequestedPictureBytes = 2000;
// The rate the coder's rate control assumes; pictures may come slower or faster.
constexpr int kNominalPictureRate = 15;

// The receiving half: compressed pictures come from another console and are untrusted, so a
// picture of another size or format, or bytes the decoder refuses, are a failed result.
class PictureDecoder {
public:
    PictureDecoder() = default;
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    bool open();
    void close();
    bool isOpen() const { return context_ != nullptr; }
    // Forgets every earlier picture, as if just opened.
    void reset();
    // Decompresses one compressed picture into kPictureBytes of RGB.
    bool decompressPicture(const uint8_t* data, std::size_t size, std::vector<uint8_t>& rgb);

private:
    AVCodecContext* context_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* toRgb_ = nullptr;
    // The decoder reads past the end of its input: a zero-padded copy of each picture.
    std::vector<uint8_t> padded_;
};

// The sending half: each picture an H.263 key frame of about kRequestedPictureBytes.
class PictureEncoder {
public:
    PictureEncoder() = default;
    ~PictureEncoder();
    PictureEncoder(const PictureEncoder&) = delete;
    PictureEncoder& operator=(const PictureEncoder&) = delete;

    bool open();
    void close();
    bool isOpen() const { return context_ != nullptr; }
    // Compresses one picture of exactly kPictureBytes; any other size is refused.
    bool compressPicture(const uint8_t* rgb, std::size_t size, std::vector<uint8_t>& out);

private:
    AVCodecContext* context_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* toYuv_ = nullptr;
    int64_t nextPts_ = 0;
};

// One coder for both directions of a video chat: every picture is compressed on its own and
// every received one is decompressed on its own, so a lost or skipped picture costs only itself.
class PictureCodec {
public:
    // Opens both halves (an open coder is closed first); false, with both closed again, when
    // either cannot be opened.
    bool open();
    void close();
    bool isOpen() const { return encoder_.isOpen(); }

    bool compressPicture(const uint8_t* rgb, std::size_t size, std::vector<uint8_t>& out) {
        return encoder_.compressPicture(rgb, size, out);
    }
    bool decompressPicture(const uint8_t* data, std::size_t size, std::vector<uint8_t>& rgb) {
        return decoder_.decompressPicture(data, size, rgb);
    }

private:
    PictureEncoder encoder_;
    PictureDecoder decoder_;
};

// The settings both the coder and a bare comparison use, so a benchmark measures the same work.
// Applies the encoder's settings to a fresh context; the caller opens it.
void ApplyPictureEncoderSettings(AVCodecContext& context);
// The colour conversion flags of both directions.
int PictureScaleFlags();

} // namespace talmor
