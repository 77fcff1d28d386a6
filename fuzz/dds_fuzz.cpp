// The DDS and run-length BMP readers on arbitrary bytes: a clean failure, or levels of the stated sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/texture/bmp_rle.h"
#include "formats/texture/dds_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // A small limit keeps each run quick; the checks are the same at any limit.
    const Result<DecodedImage> image = IsRleBmp(bytes) ? ReadRleBmp(bytes, 1024) : ReadDds(bytes, 1024);
    if (!image.ok) return 0;
    for (const DecodedLevel& level : image.value.levels)
        if (level.rgba.size() != std::size_t{level.width} * level.height * 4) std::abort();
    return 0;
}
