// The preprocessor of effect files: `#include "..."` (looked for beside the including file, then in the
// working directory), object- and function-like `#define`, `#undef`, `#if` / `#ifdef` / `#ifndef` /
// `#elif` / `#else` / `#endif` with integer expressions and `defined`, `#error`; `#pragma` and `#line`
// are ignored. Its output is the effect's tokens, each keeping the file and line of the text it came
// from (a macro's tokens take the place where the macro was used).
#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "formats/effect/effect_lexer.h"

// Caps that keep a hostile file from exhausting the stack or memory.
constexpr int kMaxIncludeDepth = 32;
constexpr std::size_t kMaxEffectTokens = std::size_t{1} << 21;

// The effect's tokens, or the error with the file, line and column where it is. `files` receives the name
// of every file read, the main one first; tokens refer to them by index.
Result<std::vector<EffectToken>> PreprocessEffect(const std::string& source, const std::string& fileName,
                                                  std::vector<std::string>& files);

// An error of the preprocessor or the parser, at `column` of `line` of `fileName`.
Result<> EffectFailure(std::string fileName, int line, int column, std::string what);
// The compiler-style text of such an error: "FILE(LINE,COL): error: WHAT".
std::string EffectMessage(const Result<>& error);
