// The DDS and run-length BMP readers on arbitrary bytes: a clean failure, or a named format and levels
// that halve from the first, each holding its pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/texture/bmp_rle.h"
#include "formats/texture/dds_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // A small limit keeps each run quick; the checks are the same at any limit.
    const bool bmp = IsRleBmp(bytes);
    const Result<DecodedImage> image = bmp ? ReadRleBmp(bytes, 1024) : ReadDds(bytes, 1024);
    if (!image.ok) return 0;
    if (image.value.levels.empty() || (!bmp && image.value.format.empty())) std::abort();
    const DecodedLevel& top = image.value.levels.front();
    for (std::size_t i = 0; i < image.value.levels.size(); ++i) {
        const DecodedLevel& level = image.value.levels[i];
        if (level.width != (top.width >> i ? top.width >> i : 1) || level.height != (top.height >> i ? top.height >> i : 1))
            std::abort();
        if (level.rgba.size() != std::size_t{level.width} * level.height * 4) std::abort();
    }
    return 0;
}
