// The front end of effect files (HLSL-style): global variables with semantics, annotations and
// initialisers, structs, functions, textures and samplers with state blocks, cbuffers, and techniques
// (technique, technique9, technique10, technique11) with passes. `technique`, `pass` and `asm` are read
// in any letter case, as the language reads them; attributes in brackets before a declaration are
// skipped. It checks the structure and collects the names the effect defines; function bodies are only
// brace-matched.
#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "formats/effect/effect_lexer.h"

struct EffectDescription {
    std::vector<std::string> techniques;  // in file order
    std::vector<std::string> parameters;  // top-level variables, in file order
};

// Preprocesses and parses one effect file (`#include` looks beside `fileName`): the description, or the
// error with the file, line and column where it is (EffectMessage gives its compiler-style text).
Result<EffectDescription> ParseEffect(const std::string& source, const std::string& fileName);

// Parses preprocessed tokens; `files` names the files the tokens refer to.
Result<EffectDescription> ParseEffectTokens(const std::vector<EffectToken>& tokens,
                                            const std::vector<std::string>& files);
