#include "media/video/codec/testpattern.h"

#include "media/video/codec/picturecodec.h"

namespace talmor {

namespace {

constexpr std::array<std::array<uint8_t, 3>, 8> kBars{{
    {235, 235, 235},
    {235, 235, 16},
    {16, 235, 235},
    {16, 235, 16},
    {235, 16, 235},
    {235, 16, 16},
    {16, 16, 235},
    {16, 120, 200},
}};
constexpr std::array<uint8_t, 3> kBand{20, 30, 110};
constexpr std::array<uint8_t, 3> kSquareColour{235, 235, 235};
constexpr int kSquareTop = TestPattern::kBarRows + 16;

void Put(std::vector<uint8_t>& rgb, int x, int y, const std::array<uint8_t, 3>& colour) {
    const std::size_t at = (static_cast<std::size_t>(y) * kPictureWidth + x) * 3;
    rgb[at] = colour[0];
    rgb[at + 1] = colour[1];
    rgb[at + 2] = colour[2];
}

} // namespace

void TestPattern::draw(uint32_t index, std::vector<uint8_t>& rgb) {
    rgb.resize(kPictureBytes);
    const int shift = static_cast<int>((index * 2) % kPictureWidth);
    for (int y = 0; y < kBarRows; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            Put(rgb, x, y, kBars[((x + shift) % kPictureWidth) / kBarWidth]);
        }
    }
    const int squareLeft = static_cast<int>((index * 3) % kPictureWidth);
    for (int y = kBarRows; y < kPictureHeight; ++y) {
        const bool squareRow = y >= kSquareTop && y < kSquareTop + kSquare;
        for (int x = 0; x < kPictureWidth; ++x) {
            const int fromSquare = (x - squareLeft + kPictureWidth) % kPictureWidth;
            Put(rgb, x, y, squareRow && fromSquare < kSquare ? kSquareColour : kBand);
        }
    }
}

TestPattern::Rgb TestPattern::meanColour(const std::vector<uint8_t>& rgb, int firstRow,
                                         int endRow) {
    Rgb sum{0, 0, 0};
    if (rgb.size() < kPictureBytes || endRow <= firstRow) {
        return sum;
    }
    for (int y = firstRow; y < endRow; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * kPictureWidth + x) * 3;
            for (int c = 0; c < 3; ++c) {
                sum[c] += rgb[at + c];
            }
        }
    }
    const double count = double(endRow - firstRow) * kPictureWidth;
    for (double& channel : sum) {
        channel /= count;
    }
    return sum;
}

TestPattern::Rgb TestPattern::barsMean() {
    std::vector<uint8_t> rgb;
    draw(0, rgb);
    return meanColour(rgb, 0, kBarRows);
}

TestPattern::Rgb TestPattern::bandMean() {
    std::vector<uint8_t> rgb;
    draw(0, rgb);
    return meanColour(rgb, kBarRows, kPictureHeight);
}

} // namespace talmor
