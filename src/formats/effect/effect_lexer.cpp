#include "formats/effect/effect_lexer.h"

#include <cctype>

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

class Lexer {
public:
    explicit Lexer(const std::string& source) : s_(source) {}

    Result<std::vector<EffectToken>> Run() {
        std::vector<EffectToken> tokens;
        bool lineStart = true;
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == '\n') {
                Advance();
                lineStart = true;
                continue;
            }
            if (std::isspace(static_cast<unsigned char>(c))) {
                Advance();
                continue;
            }
            if (c == '#' && lineStart) {
                EffectToken directive;
                directive.kind = EffectToken::Kind::Directive;
                directive.line = line_;
                directive.column = column_;
                Advance();
                directive.text = TakeDirective();
                tokens.push_back(std::move(directive));
                continue;
            }
            lineStart = false;
            if (c == '/' && Peek(1) == '/') {
                while (i_ < s_.size() && s_[i_] != '\n') Advance();
                continue;
            }
            if (c == '/' && Peek(1) == '*') {
                int line = line_, column = column_;
                Advance(), Advance();
                while (i_ < s_.size() && !(s_[i_] == '*' && Peek(1) == '/')) Advance();
                if (i_ >= s_.size()) return Fail(line, column, "expected '*/' to end the comment");
                Advance(), Advance();
                continue;
            }
            EffectToken token;
            token.line = line_;
            token.column = column_;
            if (IsNameStart(c)) {
                token.kind = EffectToken::Kind::Identifier;
                while (i_ < s_.size() && IsNameChar(s_[i_])) token.text += Take();
            } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
                token.kind = EffectToken::Kind::Number;
                while (i_ < s_.size() && (IsNameChar(s_[i_]) || s_[i_] == '.' ||
                                          ((s_[i_] == '+' || s_[i_] == '-') && (Peek(-1) == 'e' || Peek(-1) == 'E') &&
                                           !IsHex(token.text))))
                    token.text += Take();
            } else if (c == '"') {
                token.kind = EffectToken::Kind::String;
                Advance();
                while (i_ < s_.size() && s_[i_] != '"' && s_[i_] != '\n') {
                    if (s_[i_] == '\\' && i_ + 1 < s_.size() && s_[i_ + 1] != '\n') token.text += Take();
                    token.text += Take();
                }
                if (i_ >= s_.size() || s_[i_] != '"') return Fail(line_, column_, "expected '\"' to end the string");
                Advance();
            } else if (std::isprint(static_cast<unsigned char>(c))) {
                token.kind = EffectToken::Kind::Punct;
                token.text = Take();
            } else {
                return Fail(line_, column_, "unexpected character");
            }
            tokens.push_back(std::move(token));
        }
        EffectToken end;
        end.line = line_;
        end.column = column_;
        tokens.push_back(end);
        return tokens;
    }

private:
    static bool IsHex(const std::string& text) { return text.size() > 1 && (text[1] == 'x' || text[1] == 'X'); }

    char Peek(std::ptrdiff_t offset) const {
        std::ptrdiff_t at = static_cast<std::ptrdiff_t>(i_) + offset;
        return at >= 0 && static_cast<std::size_t>(at) < s_.size() ? s_[at] : '\0';
    }
    void Advance() {
        if (s_[i_] == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        ++i_;
    }
    char Take() {
        char c = s_[i_];
        Advance();
        return c;
    }
    // The rest of a preprocessor line, its continuation lines joined with a space.
    std::string TakeDirective() {
        std::string text;
        while (i_ < s_.size() && s_[i_] != '\n') {
            if (s_[i_] == '\\' && (Peek(1) == '\n' || (Peek(1) == '\r' && Peek(2) == '\n'))) {
                Advance();
                if (s_[i_] == '\r') Advance();
                Advance();
                text += ' ';
                continue;
            }
            text += Take();
        }
        return text;
    }
    static Result<> Fail(int line, int column, const char* message) {
        Result<> error = Failure({}, line, message);
        error.column = column;
        return error;
    }

    const std::string& s_;
    std::size_t i_ = 0;
    int line_ = 1;
    int column_ = 1;
};

}  // namespace

Result<std::vector<EffectToken>> LexEffect(const std::string& source) { return Lexer(source).Run(); }
