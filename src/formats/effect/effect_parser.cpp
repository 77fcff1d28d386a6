#include "formats/effect/effect_parser.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <unordered_set>

#include "formats/effect/effect_lexer.h"
#include "formats/effect/effect_preprocessor.h"
#include "formats/effect/effect_states.h"

namespace {

using Kind = EffectToken::Kind;

constexpr int kMaxStructDepth = 64;

struct ParseError {
    int file;
    int line;
    int column;
    std::string message;
};

const std::set<std::string>& Modifiers() {
    static const std::set<std::string> modifiers = {
        "static",      "uniform",  "extern",         "shared",  "const",   "volatile",  "row_major",
        "column_major", "inline",  "precise",        "groupshared", "nointerpolation", "linear",
        "centroid",    "noperspective", "sample",    "in",      "out",     "inout"};
    return modifiers;
}

// The keywords the language reads in any letter case (`Technique`, `PASS`); every other keyword is
// spelled as written.
bool IsKeyword(const EffectToken& token, const char* lowerCase) {
    if (token.kind != Kind::Identifier || token.text.size() != std::strlen(lowerCase)) return false;
    for (std::size_t i = 0; i < token.text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(token.text[i])) != lowerCase[i]) return false;
    return true;
}

bool IsTechniqueKeyword(const EffectToken& token) {
    return IsKeyword(token, "technique") || token.Is("technique9") || token.Is("technique10") || token.Is("technique11");
}

class Parser {
public:
    Parser(const std::vector<EffectToken>& tokens, EffectDescription& out) : t_(tokens), out_(out) {}

    void File() {
        while (Cur().kind != Kind::End) TopLevel();
    }

private:
    const EffectToken& Cur() const { return t_[pos_]; }
    const EffectToken& Next() const { return t_[std::min(pos_ + 1, t_.size() - 1)]; }
    const EffectToken& Take() {
        const EffectToken& token = t_[pos_];
        if (token.kind != Kind::End) ++pos_;
        return token;
    }
    bool Accept(const char* text) {
        if (!Cur().Is(text)) return false;
        Take();
        return true;
    }
    [[noreturn]] void Expected(const std::string& what) const { Fail(Cur(), "expected " + what); }
    [[noreturn]] static void Fail(const EffectToken& at, const std::string& what) {
        throw ParseError{at.file, at.line, at.column, what};
    }
    void Expect(const char* text) {
        if (!Accept(text)) Expected(std::string("'") + text + "'");
    }
    std::string Name(const char* what = "identifier") {
        if (Cur().kind != Kind::Identifier) Expected(what);
        return Take().text;
    }

    void Define(std::vector<std::string>& names, std::unordered_set<std::string>& seen, const EffectToken& at,
                const std::string& name) {
        if (!seen.insert(name).second) Fail(at, "redefinition of '" + name + "'");
        names.push_back(name);
    }

    void TopLevel() {
        if (Accept(";")) return;
        // Attributes before a declaration ([numthreads(8, 8, 1)], [maxvertexcount(4)]) say nothing about
        // the names the effect defines.
        if (Cur().Is("[")) {
            while (Cur().Is("[")) Balanced("[", "]");
            if (Cur().kind != Kind::Identifier) Expected("declaration after the attribute");
        }
        if (Cur().kind != Kind::Identifier) Expected("declaration");
        const std::string& word = Cur().text;
        if (IsTechniqueKeyword(Cur())) return Technique();
        if (word == "struct") {
            Struct(true);
            return;
        }
        if (word == "typedef") {
            Take();
            while (Cur().kind == Kind::Identifier && Modifiers().count(Cur().text)) Take();
            Type();
            do {
                Name();
                while (Cur().Is("[")) Balanced("[", "]");
            } while (Accept(","));
            Expect(";");
            return;
        }
        if (word == "cbuffer" || word == "tbuffer") return Buffer();
        Declaration(true);
    }

    // struct [Name] { members } [declarators] ;
    void Struct(bool topLevel) {
        if (structDepth_ >= kMaxStructDepth) Fail(Cur(), "structs nested more than " + std::to_string(kMaxStructDepth) + " deep");
        ++structDepth_;
        StructBody(topLevel);
        --structDepth_;
    }
    void StructBody(bool topLevel) {
        Expect("struct");
        if (Cur().kind == Kind::Identifier) Take();
        Expect("{");
        while (!Accept("}")) {
            if (Cur().kind == Kind::End) Expected("'}'");
            if (Accept(";")) continue;
            Declaration(false);
        }
        Declarators(topLevel);
    }

    // cbuffer Name [: register(b0)] { declarations } [;] -- its variables are top-level parameters.
    void Buffer() {
        Take();
        Name();
        Semantics();
        Expect("{");
        while (!Accept("}")) {
            if (Cur().kind == Kind::End) Expected("'}'");
            if (Accept(";")) continue;
            Declaration(true);
        }
        Accept(";");
    }

    void Type() {
        if (Cur().Is("struct")) {
            Struct(false);
            return;
        }
        Name("type");
        if (Cur().Is("<")) Balanced("<", ">");
    }

    // [modifiers] type name ( function | variable [, variable]* ; )
    void Declaration(bool topLevel) {
        while (Cur().kind == Kind::Identifier && Modifiers().count(Cur().text)) Take();
        if (Cur().Is("struct")) {
            Struct(topLevel);
            return;
        }
        Type();
        const EffectToken& nameToken = Cur();
        std::string name = Name();
        if (Cur().Is("(")) {
            if (!topLevel) Expected("';'");
            Function();
            functions_.insert(name);
            return;
        }
        Variable(topLevel, nameToken, name);
        while (Accept(",")) {
            const EffectToken& more = Cur();
            Variable(topLevel, more, Name());
        }
        Expect(";");
    }

    // After `struct {...}`: optional variable names, then ';'.
    void Declarators(bool topLevel) {
        if (Cur().kind == Kind::Identifier) {
            do {
                const EffectToken& at = Cur();
                Variable(topLevel, at, Name());
            } while (Accept(","));
        }
        Expect(";");
    }

    void Variable(bool topLevel, const EffectToken& at, const std::string& name) {
        if (topLevel) Define(out_.parameters, parameters_, at, name);
        while (Cur().Is("[")) Balanced("[", "]");
        Semantics();
        if (Cur().Is("<")) Annotations();
        if (Accept("=")) {
            if (Cur().Is("sampler_state") || Cur().Is("stateblock_state")) {
                Take();
                StateBlock();
            } else {
                Expression(",;");
            }
        } else if (Cur().Is("{")) {
            StateBlock();  // SamplerState s { Filter = ...; };
        }
    }

    // : SEMANTIC, : register(c0), : packoffset(c1.x), repeated.
    void Semantics() {
        while (Accept(":")) {
            Name("semantic");
            if (Cur().Is("(")) Balanced("(", ")");
        }
    }

    // < type name = value; ... >
    void Annotations() {
        Expect("<");
        while (!Accept(">")) {
            if (Cur().kind == Kind::End) Expected("'>'");
            Name("annotation type");
            Name("annotation name");
            while (Cur().Is("[")) Balanced("[", "]");
            Expect("=");
            Expression(";");
            Expect(";");
        }
    }

    // ( parameters ) [: semantic] { body } or ;
    void Function() {
        Balanced("(", ")");
        Semantics();
        if (Accept(";")) return;
        if (!Cur().Is("{")) Expected("'{'");
        Balanced("{", "}", false);
    }

    // { state [index] = value; ... }
    void StateBlock() {
        Expect("{");
        while (!Accept("}")) {
            if (Cur().kind == Kind::End) Expected("'}'");
            if (Accept(";")) continue;
            Name("state name");
            while (Cur().Is("[")) Balanced("[", "]");
            Expect("=");
            Expression(";");
            Expect(";");
        }
    }

    // technique Name [annotations] { pass Name [annotations] { states } ... }
    void Technique() {
        Take();
        const EffectToken& at = Cur();
        if (Cur().kind == Kind::Identifier) Define(out_.techniques, techniques_, at, Take().text);
        if (Cur().Is("<")) Annotations();
        Expect("{");
        while (!Accept("}")) {
            if (!IsKeyword(Cur(), "pass")) Expected("'pass'");
            Take();
            if (Cur().kind == Kind::Identifier) Take();
            if (Cur().Is("<")) Annotations();
            Expect("{");
            while (!Accept("}")) {
                if (Cur().kind == Kind::End) Expected("'}'");
                if (Accept(";")) continue;
                const EffectToken& state = Cur();
                Name("pass state");
                if (!Cur().Is("(") && !IsPassState(state.text)) Fail(state, "unknown state '" + state.text + "'");
                if (Cur().Is("(")) {
                    Balanced("(", ")");  // SetVertexShader(CompileShader(vs_4_0, VS()));
                } else {
                    while (Cur().Is("[")) Balanced("[", "]");
                    Expect("=");
                    Expression(";");
                }
                Expect(";");
            }
        }
    }

    // Skips a bracketed group; nested brackets of every kind must match when `strict`.
    void Balanced(const char* open, const char* close, bool strict = true) {
        Expect(open);
        std::vector<std::string> stack{close};
        while (!stack.empty()) {
            const EffectToken& token = Cur();
            if (token.kind == Kind::End) Expected("'" + stack.back() + "'");
            if (token.kind == Kind::Punct) {
                const std::string& p = token.text;
                if (p == stack.back()) {
                    stack.pop_back();
                } else if (p == "(" || p == "[" || p == "{" || (p == "<" && std::string(open) == "<")) {
                    if (strict || p == "{") stack.push_back(p == "(" ? ")" : p == "[" ? "]" : p == "{" ? "}" : ">");
                } else if (p == ")" || p == "]" || p == "}") {
                    if (strict || p == "}") Expected("'" + stack.back() + "'");
                }
            }
            Take();
        }
    }

    // An expression (or initialiser list) up to one of the terminators at bracket depth zero. Two operands
    // in a row mean a terminator is missing, except after `compile` (compile vs_2_0 VS()), whose target
    // must name a function defined before. `asm { ... }` is taken as it is.
    void Expression(const char* terminators) {
        const std::string terminator = std::string("'") + terminators[std::strlen(terminators) - 1] + "'";
        std::vector<std::string> stack;
        bool empty = true;
        const EffectToken* previous = nullptr;
        const EffectToken* beforePrevious = nullptr;
        for (;;) {
            const EffectToken& token = Cur();
            if (token.kind == Kind::End) Expected(stack.empty() ? terminator : "'" + stack.back() + "'");
            if (previous && IsOperand(*previous) && IsOperand(token) && !previous->Is("compile") &&
                !(beforePrevious && beforePrevious->Is("compile")))
                Expected(stack.empty() ? terminator : "'" + stack.back() + "'");
            if (IsKeyword(token, "asm") && Next().Is("{")) {
                Take();
                Balanced("{", "}", false);
                empty = false;
                previous = beforePrevious = nullptr;
                continue;
            }
            if (token.Is("compile") && Next().kind == Kind::Identifier) {
                Take();
                Take();
                const EffectToken& target = Cur();
                if (target.kind != Kind::Identifier) Expected("the name of a function after 'compile'");
                if (!functions_.count(target.text)) Fail(target, "'compile' names no function: '" + target.text + "'");
                empty = false;
                previous = beforePrevious = nullptr;
                continue;
            }
            if (token.kind == Kind::Punct) {
                const std::string& p = token.text;
                if (stack.empty() && std::string(terminators).find(p[0]) != std::string::npos) break;
                if (p == "(" || p == "[" || p == "{") {
                    stack.push_back(p == "(" ? ")" : p == "[" ? "]" : "}");
                } else if (p == ")" || p == "]" || p == "}") {
                    if (stack.empty() || p != stack.back()) Expected(stack.empty() ? "';'" : "'" + stack.back() + "'");
                    stack.pop_back();
                } else if (p == ";" && !stack.empty()) {
                    Expected("'" + stack.back() + "'");
                }
            }
            empty = false;
            beforePrevious = previous;
            previous = &Take();
        }
        if (empty) Expected("expression");
    }

    static bool IsOperand(const EffectToken& token) {
        return token.kind == Kind::Identifier || token.kind == Kind::Number || token.kind == Kind::String;
    }

    const std::vector<EffectToken>& t_;
    EffectDescription& out_;
    std::size_t pos_ = 0;
    int structDepth_ = 0;
    std::unordered_set<std::string> techniques_, parameters_, functions_;
};

}  // namespace

Result<EffectDescription> ParseEffectTokens(const std::vector<EffectToken>& tokens,
                                            const std::vector<std::string>& files) {
    EffectDescription out;
    try {
        Parser(tokens, out).File();
    } catch (const ParseError& error) {
        const std::size_t file = static_cast<std::size_t>(error.file);
        return EffectFailure(file < files.size() ? files[file] : std::string(), error.line, error.column, error.message);
    }
    return out;
}

Result<EffectDescription> ParseEffect(const std::string& source, const std::string& fileName) {
    std::vector<std::string> files;
    Result<std::vector<EffectToken>> tokens = PreprocessEffect(source, fileName, files);
    if (!tokens.ok) return tokens;
    return ParseEffectTokens(tokens.value, files);
}
