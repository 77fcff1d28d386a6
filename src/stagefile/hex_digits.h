// Sixteen lower-case hex digits: the unique and hash parts of the names of our temporary files and copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::string HexDigits(std::uint64_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 15];
    return text;
}

// Whether text[from, from + count) are all lower-case hex digits (what HexDigits writes).
inline bool IsHexDigits(const std::string& text, std::size_t from, std::size_t count) {
    if (text.size() < from + count) return false;
    for (std::size_t i = from; i < from + count; ++i)
        if (!((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'a' && text[i] <= 'f'))) return false;
    return true;
}
