// The tokens of a .x file body, text or binary, as one stream: names, strings, numbers (binary lists are
// handed out one number at a time), GUIDs, braces and separators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/result.h"

struct XToken {
    enum class Kind { Name, String, Number, Guid, OpenBrace, CloseBrace, Separator, Other, End };
    Kind kind = Kind::End;
    std::string text;     // names and strings
    double number = 0.0;  // numbers
    bool integer = false;  // a number written without fraction or exponent (or an integer in binary)
};

class XTokenReader {
public:
    // `body` is what follows the 16-byte header; it must outlive the reader.
    XTokenReader(const std::string& body, bool binary, bool doubles);

    // The next token, or the reason the bytes do not form one.
    Result<XToken> Next();
    Result<XToken> Peek();

    // How many more numbers the body can hold at most: a count larger than this is a damaged file.
    std::size_t NumbersLeft() const;
    // Where the reader is, for messages: "line N" in text, "byte N" in binary.
    std::string Where() const;

private:
    Result<XToken> ReadText();
    Result<XToken> ReadBinary();
    Result<> ReadBinaryOnce(XToken& token, bool& more);
    bool Dword(std::uint32_t& value);

    const std::string& s_;
    bool binary_;
    bool doubles_;
    std::size_t i_ = 0;
    std::size_t line_ = 1;
    // The binary list being handed out.
    std::uint32_t listLeft_ = 0;
    bool listFloats_ = false;
    bool peeked_ = false;
    Result<XToken> peek_;
};
