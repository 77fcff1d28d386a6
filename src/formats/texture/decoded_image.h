// An image decoded to 8-bit RGBA, rows top to bottom, with the mip levels its file holds (level 0 first,
// each level half the size of the one before, at least 1 x 1), and what the file held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedLevel {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

struct DecodedImage {
    std::vector<DecodedLevel> levels;
    std::string format;         // the file's pixel format: "DXT1", "A8R8G8B8", "L8", "PNG", ...
    std::string shape = "2D";   // "2D", or which part of a cube map or volume texture was taken
};
