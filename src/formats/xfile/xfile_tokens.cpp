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

bool XTokenReader::Peek(XToken& token, std::string& error) {
    if (!peeked_) {
        peekOk_ = binary_ ? ReadBinary(peek_, peekError_) : ReadText(peek_, peekError_);
        peeked_ = true;
    }
    token = peek_;
    if (!peekOk_) error = peekError_;
    return peekOk_;
}

bool XTokenReader::Next(XToken& token, std::string& error) {
    bool ok = Peek(token, error);
    peeked_ = false;
    return ok;
}

std::size_t XTokenReader::NumbersLeft() const {
    const std::size_t bytes = s_.size() - i_;
    return binary_ ? listLeft_ + bytes / 4 : bytes;
}

std::string XTokenReader::Where() const {
    return binary_ ? "byte " + std::to_string(i_ + kHeaderSize) : "line " + std::to_string(line_);
}

bool XTokenReader::ReadText(XToken& token, std::string& error) {
    token = XToken{};
    for (;;) {
        while (i_ < s_.size() && IsSpace(s_[i_])) {
            if (s_[i_] == '\n') ++line_;
            ++i_;
        }
        if (i_ >= s_.size()) return true;  // End
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
        return true;
    }
    if (c == ';' || c == ',') {
        token.kind = XToken::Kind::Separator;
        ++i_;
        return true;
    }
    if (c == '"') {
        std::size_t end = s_.find('"', i_ + 1);
        if (end == std::string::npos) {
            error = "a string is not closed";
            return false;
        }
        token.kind = XToken::Kind::String;
        // Exporters write a backslash doubled, as in C.
        for (std::size_t k = i_ + 1; k < end; ++k) {
            line_ += s_[k] == '\n';
            token.text += s_[k];
            if (s_[k] == '\\' && k + 1 < end && s_[k + 1] == '\\') ++k;
        }
        i_ = end + 1;
        return true;
    }
    if (c == '<') {
        std::size_t end = s_.find('>', i_ + 1);
        if (end == std::string::npos) {
            error = "a GUID is not closed";
            return false;
        }
        token.kind = XToken::Kind::Guid;
        token.text.assign(s_, i_ + 1, end - i_ - 1);
        for (char ch : token.text) line_ += ch == '\n';
        i_ = end + 1;
        return true;
    }
    if (IsDelimiter(c)) {
        token.kind = XToken::Kind::Other;
        token.text = c;
        ++i_;
        return true;
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
        error = "the number " + std::string(first, last) + " is out of range";
        return false;
    } else {
        token.kind = XToken::Kind::Name;
        token.text.assign(first, last);
    }
    i_ = end;
    return true;
}

bool XTokenReader::Dword(std::uint32_t& value) {
    if (s_.size() - i_ < 4) return false;
    std::memcpy(&value, s_.data() + i_, 4);
    i_ += 4;
    return true;
}

bool XTokenReader::ReadBinary(XToken& token, std::string& error) {
    token = XToken{};
    // Empty lists are passed over in this loop, never by calling back in.
    for (;;) {
        bool more = false;
        if (!ReadBinaryOnce(token, error, more)) return false;
        if (!more) return true;
    }
}

bool XTokenReader::ReadBinaryOnce(XToken& token, std::string& error, bool& more) {
    if (listLeft_ > 0) {
        token.kind = XToken::Kind::Number;
        if (listFloats_ && doubles_) {
            if (s_.size() - i_ < 8) return error = "a list of numbers is cut short", false;
            std::memcpy(&token.number, s_.data() + i_, 8);
            i_ += 8;
        } else if (listFloats_) {
            float value = 0.0f;
            if (s_.size() - i_ < 4) return error = "a list of numbers is cut short", false;
            std::memcpy(&value, s_.data() + i_, 4);
            i_ += 4;
            token.number = value;
        } else {
            std::uint32_t value = 0;
            if (!Dword(value)) return error = "a list of numbers is cut short", false;
            token.number = value;
            token.integer = true;
        }
        --listLeft_;
        return true;
    }
    if (i_ >= s_.size()) return true;  // End
    if (s_.size() - i_ < 2) return error = "a token is cut short", false;
    std::uint16_t code = 0;
    std::memcpy(&code, s_.data() + i_, 2);
    i_ += 2;
    std::uint32_t count = 0;
    switch (code) {
        case kName:
        case kString:
            if (!Dword(count) || count > s_.size() - i_) return error = "a name or string is cut short", false;
            token.kind = code == kName ? XToken::Kind::Name : XToken::Kind::String;
            token.text.assign(s_, i_, count);
            i_ += count;
            return true;
        case kInteger:
            if (!Dword(count)) return error = "a number is cut short", false;
            token.kind = XToken::Kind::Number;
            token.number = count;
            token.integer = true;
            return true;
        case kGuid:
            if (s_.size() - i_ < 16) return error = "a GUID is cut short", false;
            token.kind = XToken::Kind::Guid;
            i_ += 16;
            return true;
        case kIntegerList:
        case kFloatList: {
            if (!Dword(count)) return error = "a list of numbers is cut short", false;
            const std::size_t size = code == kFloatList && doubles_ ? 8 : 4;
            if (count > (s_.size() - i_) / size) return error = "a list of numbers is longer than the file", false;
            listLeft_ = count;
            listFloats_ = code == kFloatList;
            more = true;
            return true;
        }
        case kOpenBrace: token.kind = XToken::Kind::OpenBrace; return true;
        case kCloseBrace: token.kind = XToken::Kind::CloseBrace; return true;
        case kComma:
        case kSemicolon: token.kind = XToken::Kind::Separator; return true;
        case kTemplate:
            token.kind = XToken::Kind::Name;
            token.text = "template";
            return true;
        default:
            if ((code >= 0x0C && code <= 0x12) || (code >= 0x28 && code <= 0x34)) {
                token.kind = XToken::Kind::Other;
                return true;
            }
            error = "unknown token code " + std::to_string(code);
            return false;
    }
}
