// DDS files made in memory: the 128-byte header from a description, then the pixel bytes as given.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

struct DdsLayout {
    std::uint32_t width = 1, height = 1;
    std::uint32_t mips = 1;
    bool mipFlag = true;      // DDSD_MIPMAPCOUNT, set when mips > 1
    std::uint32_t caps2 = 0;  // cube map and volume bits
    std::uint32_t depth = 0;
    std::uint32_t pixelFlags = 0x40;  // DDPF_RGB
    std::uint32_t fourCc = 0;
    std::uint32_t bits = 32;
    std::uint32_t masks[4] = {};  // red (or luminance), green, blue, alpha
};

inline std::uint32_t FourCcOf(const char* code) {
    std::uint32_t v = 0;
    std::memcpy(&v, code, 4);
    return v;
}

inline std::string MakeDds(const DdsLayout& layout, const std::string& pixels) {
    std::uint32_t h[31] = {124, 0x1007u | (layout.mipFlag && layout.mips > 1 ? 0x20000u : 0u) | (layout.depth ? 0x800000u : 0u),
                           layout.height, layout.width, 0, layout.depth, layout.mips};
    h[18] = 32;
    h[19] = layout.pixelFlags;
    h[20] = layout.fourCc;
    h[21] = layout.bits;
    for (int i = 0; i < 4; ++i) h[22 + i] = layout.masks[i];
    h[26] = 0x1000u | (layout.mips > 1 ? 0x400008u : 0u);
    h[27] = layout.caps2;
    return "DDS " + std::string(reinterpret_cast<const char*>(h), sizeof h) + pixels;
}
