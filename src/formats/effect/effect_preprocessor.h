// The preprocessor of effect files: `#include "..."` (looked for beside the including file, then in the
// working directory), object- and function-like `#define`, `#undef`, `#if` / `#ifdef` / `#ifndef` /
// `#elif` / `#else` / `#endif` with integer expressions and `defined`, `#error`; `#pragma` and `#line`
// are ignored. Its output is the effect's tokens, each keeping the file and line of the text it came
// from (a macro's tokens take the place where the macro was used).
#pragma once

#include <string>
#include <vector>

#include "formats/effect/effect_lexer.h"

// Caps that keep a hostile file from exhausting the stack or memory.
constexpr int kMaxIncludeDepth = 32;
constexpr std::size_t kMaxEffectTokens = std::size_t{1} << 21;

// `files` receives the name of every file read, the main one first; tokens refer to them by index.
// False with a compiler-style message "FILE(LINE,COL): error: WHAT".
bool PreprocessEffect(const std::string& source, const std::string& fileName, std::vector<std::string>& files,
                      std::vector<EffectToken>& tokens, std::string& message);

// The message format shared by the preprocessor and the parser.
std::string EffectMessage(const std::string& fileName, int line, int column, const std::string& what);
