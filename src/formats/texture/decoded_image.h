// An image decoded to 8-bit RGBA, rows top to bottom, with the mip levels its file holds (level 0 first,
// each level half the size of the one before, at least 1 x 1).
#pragma once

#include <cstdint>
#include <vector>

struct DecodedLevel {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

struct DecodedImage {
    std::vector<DecodedLevel> levels;
};
