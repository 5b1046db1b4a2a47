#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace talmor {

// The moving picture of the synthetic video source, for machines without a camera: eight
// colour bars across the top two thirds that slide two pixels to the left per picture, and a
// white square that slides along a dark blue band below them. Both wrap around, so the mean
// colour of each band is the same in every picture: a receiver can check what it decoded
// without knowing which picture it was.
class TestPattern {
public:
    static constexpr int kBarRows = 96; // rows 0..95 hold the bars, the rest the band
    static constexpr int kBarWidth = 22;
    static constexpr int kSquare = 16;

    // The QCIF picture number `index` (RGB24, kPictureBytes).
    static void draw(uint32_t index, std::vector<uint8_t>& rgb);

    using Rgb = std::array<double, 3>;
    // Mean colour of rows [firstRow, endRow) of an RGB24 QCIF picture.
    static Rgb meanColour(const std::vector<uint8_t>& rgb, int firstRow, int endRow);
    // The pattern's own means of the bars and of the band.
    static Rgb barsMean();
    static Rgb bandMean();
};

} // namespace talmor
