#include "formats/xfile/xfile_tokens.h"

#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 16;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsDelimiter(char c) { return IsSpace(c) || std::strchr("{};,\"<>[]()", c) != nullptr; }

enum BinaryToken : std::uint16_t {
    kName = 1, kString = 2, kInteger = 3, kGuid = 5, kIntegerList = 6, kFloatList = 7,
    kOpenBrace = 0x0A, kCloseBrace = 0x0B, kComma = 0x13, kSemicolon = 0x14, kTemplate = 0x1F,
};

}  // namespace

XTokenReader::XTokenReader(const std::string& body, bool binary, bool doubles)
    : s_(body), binary_(binary), doubles_(doubles) {}

Result<XToken> XTokenReader::Peek() {
    if (!peeked_) {
        peek_ = binary_ ? ReadBinary() : ReadText();
        peeked_ = true;
    }
    return peek_;
}

Result<XToken> XTokenReader::Next() {
    Result<XToken> token = Peek();
    peeked_ = false;
    return token;
}

std::size_t XTokenReader::NumbersLeft() const {
    const std::size_t bytes = s_.size() - i_;
    return binary_ ? listLeft_ + bytes / 4 : bytes;
}

std::string XTokenReader::Where() const {
    return binary_ ? "byte " + std::to_string(i_ + kHeaderSize) : "line " + std::to_string(line_);
}

Result<XToken> XTokenReader::ReadText() {
    XToken token;
    for (;;) {
        while (i_ < s_.size() && IsSpace(s_[i_])) {
            if (s_[i_] == '\n') ++line_;
            ++i_;
        }
        if (i_ >= s_.size()) return token;  // End
        if (s_[i_] == '#' || (s_[i_] == '/' && i_ + 1 < s_.size() && s_[i_ + 1] == '/')) {
            while (i_ < s_.size() && s_[i_] != '\n') ++i_;
            continue;
        }
        break;
    }
    const char c = s_[i_];
    if (c == '{' || c == '}') {
        token.kind = c == '{' ? XToken::Kind::OpenBrace : XToken::Kind::CloseBrace;
        ++i_;
        return token;
    }
    if (c == ';' || c == ',') {
        token.kind = XToken::Kind::Separator;
        ++i_;
        return token;
    }
    if (c == '"') {
        std::size_t end = s_.find('"', i_ + 1);
        if (end == std::string::npos) {
            return Failure("a string is not closed");
        }
        token.kind = XToken::Kind::String;
        // Exporters write a backslash doubled, as in C.
        for (std::size_t k = i_ + 1; k < end; ++k) {
            line_ += s_[k] == '\n';
            token.text += s_[k];
            if (s_[k] == '\\' && k + 1 < end && s_[k + 1] == '\\') ++k;
        }
        i_ = end + 1;
        return token;
    }
    if (c == '<') {
        std::size_t end = s_.find('>', i_ + 1);
        if (end == std::string::npos) {
            return Failure("a GUID is not closed");
        }
        token.kind = XToken::Kind::Guid;
        token.text.assign(s_, i_ + 1, end - i_ - 1);
        for (char ch : token.text) line_ += ch == '\n';
        i_ = end + 1;
        return token;
    }
    if (IsDelimiter(c)) {
        token.kind = XToken::Kind::Other;
        token.text = c;
        ++i_;
        return token;
    }
    std::size_t end = i_;
    while (end < s_.size() && !IsDelimiter(s_[end])) ++end;
    const char* first = s_.data() + i_;
    const char* last = s_.data() + end;
    const char* digits = (*first == '+' && last - first > 1) ? first + 1 : first;
    double value = 0.0;
    auto [stop, problem] = std::from_chars(digits, last, value);
    if (problem == std::errc() && stop == last) {
        token.kind = XToken::Kind::Number;
        token.number = value;
        token.integer = std::strpbrk(std::string(digits, last).c_str(), ".eE") == nullptr;
    } else if (problem == std::errc::result_out_of_range && stop == last) {
        return Failure("the number " + std::string(first, last) + " is out of range");
    } else {
        token.kind = XToken::Kind::Name;
        token.text.assign(first, last);
    }
    i_ = end;
    return token;
}

bool XTokenReader::Dword(std::uint32_t& value) {
    if (s_.size() - i_ < 4) return false;
    std::memcpy(&value, s_.data() + i_, 4);
    i_ += 4;
    return true;
}

Result<XToken> XTokenReader::ReadBinary() {
    XToken token;
    // Empty lists are passed over in this loop, never by calling back in.
    for (;;) {
        bool more = false;
        if (Result<> read = ReadBinaryOnce(token, more); !read.ok) return read;
        if (!more) return token;
    }
}

Result<> XTokenReader::ReadBinaryOnce(XToken& token, bool& more) {
    if (listLeft_ > 0) {
        token.kind = XToken::Kind::Number;
        if (listFloats_ && doubles_) {
            if (s_.size() - i_ < 8) return Failure("a list of numbers is cut short");
            std::memcpy(&token.number, s_.data() + i_, 8);
            i_ += 8;
        } else if (listFloats_) {
            float value = 0.0f;
            if (s_.size() - i_ < 4) return Failure("a list of numbers is cut short");
            std::memcpy(&value, s_.data() + i_, 4);
            i_ += 4;
            token.number = value;
        } else {
            std::uint32_t value = 0;
            if (!Dword(value)) return Failure("a list of numbers is cut short");
            token.number = value;
            token.integer = true;
        }
        --listLeft_;
        return {};
    }
    if (i_ >= s_.size()) return {};  // End
    if (s_.size() - i_ < 2) return Failure("a token is cut short");
    std::uint16_t code = 0;
    std::memcpy(&code, s_.data() + i_, 2);
    i_ += 2;
    std::uint32_t count = 0;
    switch (code) {
        case kName:
        case kString:
            if (!Dword(count) || count > s_.size() - i_) return Failure("a name or string is cut short");
            token.kind = code == kName ? XToken::Kind::Name : XToken::Kind::String;
            token.text.assign(s_, i_, count);
            i_ += count;
            return {};
        case kInteger:
            if (!Dword(count)) return Failure("a number is cut short");
            token.kind = XToken::Kind::Number;
            token.number = count;
            token.integer = true;
            return {};
        case kGuid:
            if (s_.size() - i_ < 16) return Failure("a GUID is cut short");
            token.kind = XToken::Kind::Guid;
            i_ += 16;
            return {};
        case kIntegerList:
        case kFloatList: {
            if (!Dword(count)) return Failure("a list of numbers is cut short");
            const std::size_t size = code == kFloatList && doubles_ ? 8 : 4;
            if (count > (s_.size() - i_) / size) return Failure("a list of numbers is longer than the file");
            listLeft_ = count;
            listFloats_ = code == kFloatList;
            more = true;
            return {};
        }
        case kOpenBrace: token.kind = XToken::Kind::OpenBrace; return {};
        case kCloseBrace: token.kind = XToken::Kind::CloseBrace; return {};
        case kComma:
        case kSemicolon: token.kind = XToken::Kind::Separator; return {};
        case kTemplate:
            token.kind = XToken::Kind::Name;
            token.text = "template";
            return {};
        default:
            if ((code >= 0x0C && code <= 0x12) || (code >= 0x28 && code <= 0x34)) {
                token.kind = XToken::Kind::Other;
                return {};
            }
            return Failure("unknown token code " + std::to_string(code));
    }
}
