#include "stagefile/text_encoding.h"

#include <cstdint>
#include <cstring>

ByteOrderMark FindByteOrderMark(std::string_view start, std::size_t& length) {
    auto startsWith = [&](const char* mark, std::size_t size) {
        return start.size() >= size && std::memcmp(start.data(), mark, size) == 0;
    };
    // UTF-32 first: its little-endian mark begins with UTF-16's.
    if (startsWith("\xFF\xFE\0\0", 4) || startsWith("\0\0\xFE\xFF", 4)) {
        length = 4;
        return ByteOrderMark::Utf32;
    }
    if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2)) {
        length = 2;
        return ByteOrderMark::Utf16;
    }
    if (startsWith("\xEF\xBB\xBF", 3)) {
        length = 3;
        return ByteOrderMark::Utf8;
    }
    length = 0;
    return ByteOrderMark::None;
}

const char* TextFault(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    while (p < end) {
        // Stage text is almost all ASCII: eight bytes at a time while no byte has its high bit set.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            const std::uint64_t ones = 0x0101010101010101u, highs = 0x8080808080808080u;
            // A byte is zero where word - ones borrows into a high bit that the byte itself lacks.
            if (((word | ((word - ones) & ~word)) & highs) == 0) {
                p += 8;
                continue;
            }
        }
        unsigned char c = *p;
        if (c == 0) return "holds a NUL byte";
        if (c < 0x80) {
            ++p;
            continue;
        }
        std::size_t more;
        std::uint32_t value;
        std::uint32_t least;
        if ((c & 0xE0) == 0xC0) {
            more = 1, value = c & 0x1Fu, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, value = c & 0x0Fu, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, value = c & 0x07u, least = 0x10000;
        } else {
            return "is not valid UTF-8";
        }
        if (static_cast<std::size_t>(end - p) <= more) return "is not valid UTF-8";
        for (std::size_t i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return "is not valid UTF-8";
            value = (value << 6) | (p[i] & 0x3Fu);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return "is not valid UTF-8";
        p += more + 1;
    }
    return nullptr;
}

std::string Utf8Prefix(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "...";
}
