// Splits effect-file source into tokens with their line and column. Comments are dropped; a preprocessor
// line (with its `\` continuation lines, LF or CRLF) is one Directive token holding the text after the
// `#`; every character that is not part of a name, number or string is a token of its own.
#pragma once

#include <string>
#include <vector>

#include "base/result.h"

struct EffectToken {
    enum class Kind { Identifier, Number, String, Punct, Directive, End };
    Kind kind = Kind::End;
    std::string text;
    int line = 1;
    int column = 1;
    int file = 0;  // which file the token comes from, an index into the preprocessor's list of files

    bool Is(const char* punctOrName) const { return (kind == Kind::Identifier || kind == Kind::Number || kind == Kind::Punct) && text == punctOrName; }
};

// The tokens (the last one of kind End), or the first error with its line and column (its reason e.g.
// "expected '*/'").
Result<std::vector<EffectToken>> LexEffect(const std::string& source);
