// What tells stage text from other files before any line is read as stage lines: the byte order mark at
// its start, and lines that are UTF-8 text without NUL bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class ByteOrderMark { None, Utf8, Utf16, Utf32 };

// The mark the text starts with; `length` is its size in bytes (0 for None).
ByteOrderMark FindByteOrderMark(std::string_view start, std::size_t& length);

// Why the bytes are not UTF-8 text ("holds a NUL byte", "is not valid UTF-8"), or nullptr when they are.
// Overlong forms, surrogates and values above U+10FFFF are not valid.
const char* TextFault(std::string_view bytes);

// At most `limit` bytes of UTF-8 text, cut before a character, with "..." when something was cut.
std::string Utf8Prefix(std::string_view text, std::size_t limit);
