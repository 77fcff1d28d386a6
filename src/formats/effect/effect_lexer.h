// Splits effect-file source into tokens with their line and column. Comments are dropped; a preprocessor
// line (with its `\` continuation lines, LF or CRLF) is one Directive token holding the text after the
// `#`; every character that is not part of a name, number or string is a token of its own.
#pragma once

#include <string>
#include <vector>

struct EffectToken {
    enum class Kind { Identifier, Number, String, Punct, Directive, End };
    Kind kind = Kind::End;
    std::string text;
    int line = 1;
    int column = 1;
    int file = 0;  // which file the token comes from, an index into the preprocessor's list of files

    bool Is(const char* punctOrName) const { return (kind == Kind::Identifier || kind == Kind::Number || kind == Kind::Punct) && text == punctOrName; }
};

struct EffectLexError {
    int line = 1;
    int column = 1;
    std::string message;  // what went wrong, e.g. "expected '*/'"
};

// True with the tokens (the last one of kind End); false with the first error.
bool LexEffect(const std::string& source, std::vector<EffectToken>& tokens, EffectLexError& error);
