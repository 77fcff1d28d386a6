#include "formats/effect/effect_preprocessor.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <unordered_map>

#include "base/file_bytes.h"

namespace {

using Kind = EffectToken::Kind;
using HideSet = std::shared_ptr<const std::set<std::string>>;

constexpr int kMaxExpressionDepth = 256;

struct Error {
    int file, line, column;
    std::string message;
};

struct Macro {
    bool functionLike = false;
    std::vector<std::string> parameters;
    std::vector<EffectToken> body;
};

// A token waiting to be read again, with the macros it may no longer expand.
struct Pending {
    EffectToken token;
    HideSet hide;
};

struct Conditional {
    bool active;     // this branch is being kept
    bool taken;      // some branch of this #if was kept
    bool seenElse;
    bool outerActive;
    int line;
};

struct Source {
    int file;
    std::vector<EffectToken> tokens;
    std::size_t next = 0;
    std::vector<Conditional> conditionals;
};

bool Adjacent(const EffectToken& a, const EffectToken& b) {
    return a.line == b.line && a.column + static_cast<int>(a.text.size()) == b.column;
}

class Preprocessor {
public:
    Preprocessor(std::vector<std::string>& files, std::vector<EffectToken>& out) : files_(files), out_(out) {}

    void Run(const std::string& source, const std::string& fileName) {
        Push(source, fileName, 0, 0, 0);
        for (;;) {
            EffectToken token;
            HideSet hide;
            if (!Read(token, hide)) break;
            if (token.kind == Kind::Identifier && Expand(token, hide)) continue;
            if (out_.size() >= kMaxEffectTokens) throw Error{token.file, token.line, token.column, "the effect is too large after macro expansion"};
            out_.push_back(std::move(token));
        }
        out_.push_back(end_);
    }

private:
    void Push(const std::string& source, const std::string& fileName, int fromFile, int line, int column) {
        if (static_cast<int>(sources_.size()) >= kMaxIncludeDepth)
            throw Error{fromFile, line, column, "#include nested more than " + std::to_string(kMaxIncludeDepth) + " deep"};
        Source s;
        s.file = static_cast<int>(files_.size());
        files_.push_back(fileName);
        Result<std::vector<EffectToken>> lexed = LexEffect(source);
        if (!lexed.ok) throw Error{s.file, lexed.line, lexed.column, lexed.message};
        s.tokens = std::move(lexed.value);
        for (EffectToken& t : s.tokens) t.file = s.file;
        sources_.push_back(std::move(s));
    }

    bool Active() const {
        const Source& s = sources_.back();
        return s.conditionals.empty() || s.conditionals.back().active;
    }

    // The next token to emit or expand: first what macros left, then the files' own tokens, directives
    // carried out on the way.
    bool Read(EffectToken& token, HideSet& hide) {
        if (!pending_.empty()) {
            token = std::move(pending_.back().token);
            hide = std::move(pending_.back().hide);
            pending_.pop_back();
            return true;
        }
        hide.reset();
        while (!sources_.empty()) {
            Source& s = sources_.back();
            EffectToken& t = s.tokens[s.next];
            if (t.kind == Kind::End) {
                if (!s.conditionals.empty())
                    throw Error{s.file, s.conditionals.back().line, 1, "#if without #endif"};
                if (sources_.size() == 1) end_ = t;
                sources_.pop_back();
                continue;
            }
            ++s.next;
            if (t.kind == Kind::Directive) {
                const EffectToken directive = t;  // an #include may move the sources
                Directive(directive);
                continue;
            }
            if (!Active()) continue;
            token = t;
            return true;
        }
        return false;
    }

    // A token of the current file's stream without carrying out directives (for macro arguments).
    bool PeekRaw(EffectToken*& token) {
        if (!pending_.empty()) {
            token = &pending_.back().token;
            return true;
        }
        if (sources_.empty()) return false;
        Source& s = sources_.back();
        token = &s.tokens[s.next];
        return token->kind != Kind::End && token->kind != Kind::Directive;
    }

    bool Expand(const EffectToken& name, const HideSet& hide) {
        auto it = macros_.find(name.text);
        if (it == macros_.end() || (hide && hide->count(name.text))) return false;
        const Macro& macro = it->second;
        std::vector<std::vector<EffectToken>> arguments;
        if (macro.functionLike) {
            EffectToken* next = nullptr;
            if (!PeekRaw(next) || !next->Is("(")) return false;  // the name alone is not a call
            EffectToken open;
            HideSet ignored;
            Read(open, ignored);
            arguments = Arguments(name);
            if (arguments.size() == 1 && arguments[0].empty() && macro.parameters.empty()) arguments.clear();
            if (arguments.size() != macro.parameters.size())
                throw Error{name.file, name.line, name.column,
                            "macro '" + name.text + "' takes " + std::to_string(macro.parameters.size()) +
                                " arguments, " + std::to_string(arguments.size()) + " given"};
        }
        auto grown = std::make_shared<std::set<std::string>>(hide ? *hide : std::set<std::string>{});
        grown->insert(name.text);
        HideSet newHide = grown;
        std::vector<EffectToken> replaced;
        for (const EffectToken& t : macro.body) {
            std::size_t p = 0;
            if (t.kind == Kind::Identifier)
                for (; p < macro.parameters.size() && macro.parameters[p] != t.text; ++p) {
                }
            if (t.kind == Kind::Identifier && p < macro.parameters.size()) {
                replaced.insert(replaced.end(), arguments[p].begin(), arguments[p].end());
            } else {
                replaced.push_back(t);
            }
        }
        if (pending_.size() + replaced.size() > kMaxEffectTokens)
            throw Error{name.file, name.line, name.column, "the effect is too large after macro expansion"};
        for (auto r = replaced.rbegin(); r != replaced.rend(); ++r) {
            Pending p{*r, newHide};
            p.token.file = name.file, p.token.line = name.line, p.token.column = name.column;
            pending_.push_back(std::move(p));
        }
        return true;
    }

    // The arguments of a call, after its '(' up to the matching ')'.
    std::vector<std::vector<EffectToken>> Arguments(const EffectToken& name) {
        std::vector<std::vector<EffectToken>> arguments(1);
        int depth = 0;
        for (;;) {
            EffectToken* next = nullptr;
            if (!PeekRaw(next)) throw Error{name.file, name.line, name.column, "unterminated call of macro '" + name.text + "'"};
            EffectToken t;
            HideSet ignored;
            Read(t, ignored);
            if (t.Is(")") && depth == 0) return arguments;
            if (t.Is("(")) ++depth;
            if (t.Is(")")) --depth;
            if (t.Is(",") && depth == 0) {
                arguments.emplace_back();
                continue;
            }
            std::size_t total = 0;
            for (const auto& a : arguments) total += a.size();
            if (total >= kMaxEffectTokens) throw Error{name.file, name.line, name.column, "macro arguments too long"};
            arguments.back().push_back(std::move(t));
        }
    }

    void Directive(const EffectToken& at) {
        Result<std::vector<EffectToken>> lexed = LexEffect(at.text);
        if (!lexed.ok) throw Error{at.file, at.line, at.column, lexed.message};
        std::vector<EffectToken>& words = lexed.value;
        for (EffectToken& w : words) w.file = at.file, w.line = at.line, w.column += at.column;
        words.pop_back();  // End
        if (words.empty()) return;  // a lone '#'
        const std::string name = words[0].text;
        Source& s = sources_.back();
        auto& stack = s.conditionals;
        auto fail = [&](const std::string& what) { throw Error{at.file, at.line, at.column, what}; };

        if (name == "if" || name == "ifdef" || name == "ifndef") {
            const bool outer = Active();
            bool value = false;
            if (outer) {
                if (name == "if") {
                    value = Evaluate(words, at) != 0;
                } else {
                    if (words.size() < 2 || words[1].kind != Kind::Identifier) fail("#" + name + " needs a macro name");
                    value = macros_.count(words[1].text) == (name == "ifdef" ? 1u : 0u);
                }
            }
            stack.push_back({outer && value, outer && value, false, outer, at.line});
            return;
        }
        if (name == "elif" || name == "else") {
            if (stack.empty()) fail("#" + name + " without #if");
            Conditional& c = stack.back();
            if (c.seenElse) fail("#" + name + " after #else");
            if (name == "else") c.seenElse = true;
            const bool value = c.outerActive && !c.taken && (name == "else" || Evaluate(words, at) != 0);
            c.active = value;
            c.taken = c.taken || value;
            return;
        }
        if (name == "endif") {
            if (stack.empty()) fail("#endif without #if");
            stack.pop_back();
            return;
        }
        if (!Active()) return;
        if (name == "define") {
            if (words.size() < 2 || words[1].kind != Kind::Identifier) fail("#define needs a macro name");
            Macro macro;
            std::size_t i = 2;
            if (i < words.size() && words[i].Is("(") && Adjacent(words[1], words[i])) {
                macro.functionLike = true;
                ++i;
                while (i < words.size() && !words[i].Is(")")) {
                    if (words[i].kind == Kind::Identifier) macro.parameters.push_back(words[i].text);
                    else if (!words[i].Is(",")) fail("bad parameter list of macro '" + words[1].text + "'");
                    ++i;
                }
                if (i >= words.size()) fail("expected ')' in the parameter list of macro '" + words[1].text + "'");
                ++i;
            }
            macro.body.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
            macros_[words[1].text] = std::move(macro);
        } else if (name == "undef") {
            if (words.size() < 2 || words[1].kind != Kind::Identifier) fail("#undef needs a macro name");
            macros_.erase(words[1].text);
        } else if (name == "include") {
            Include(words, at);
        } else if (name == "error") {
            std::string text = at.text;
            std::size_t start = text.find("error") + 5;
            while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
            while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
            fail("#error " + (start < text.size() ? text.substr(start) : std::string()));
        } else if (name != "pragma" && name != "line") {
            fail("unknown preprocessor directive '#" + name + "'");
        }
    }

    void Include(const std::vector<EffectToken>& words, const EffectToken& at) {
        std::string target;
        if (words.size() >= 2 && words[1].kind == Kind::String) {
            target = words[1].text;
        } else if (words.size() >= 2 && words[1].Is("<")) {
            // <name>: the tokens up to '>' joined back; their columns say where the spaces were.
            for (std::size_t i = 2; i < words.size() && !words[i].Is(">"); ++i) target += words[i].text;
        }
        if (target.empty()) throw Error{at.file, at.line, at.column, "#include needs a file name"};
        namespace fs = std::filesystem;
        std::string including = files_[static_cast<std::size_t>(at.file)];
        std::replace(including.begin(), including.end(), '\\', '/');  // a name written on Windows
        const fs::path beside = fs::path(including).parent_path() / target;
        std::string source;
        InputFileError error;
        std::string used = beside.string();
        if (!ReadFileBytes(used, kEffectFileLimit, source, error)) {
            if (!error.missing) throw Error{at.file, at.line, at.column, "cannot read included file '" + used + "': " + error.reason};
            used = target;
            if (!ReadFileBytes(used, kEffectFileLimit, source, error))
                throw Error{at.file, at.line, at.column,
                            "cannot open included file '" + target + "': " + error.reason};
        }
        Push(source, used, at.file, at.line, at.column);
    }

    // ---- #if expressions ----
    long long Evaluate(const std::vector<EffectToken>& words, const EffectToken& at) {
        // `defined X` and `defined(X)` first, then macros expanded, then unknown names are 0.
        std::vector<EffectToken> replaced;
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i].kind == Kind::Identifier && words[i].text == "defined") {
                std::size_t j = i + 1;
                const bool paren = j < words.size() && words[j].Is("(");
                if (paren) ++j;
                if (j >= words.size() || words[j].kind != Kind::Identifier)
                    throw Error{at.file, at.line, at.column, "'defined' needs a macro name"};
                EffectToken value = words[j];
                value.kind = Kind::Number;
                value.text = macros_.count(words[j].text) ? "1" : "0";
                replaced.push_back(value);
                i = j;
                if (paren) {
                    if (i + 1 >= words.size() || !words[i + 1].Is(")")) throw Error{at.file, at.line, at.column, "expected ')' after 'defined('"};
                    ++i;
                }
                continue;
            }
            replaced.push_back(words[i]);
        }
        std::vector<EffectToken> expanded;
        ExpandLine(replaced, expanded);
        if (expanded.empty()) throw Error{at.file, at.line, at.column, "#if needs an expression"};
        Expression e{expanded, 0, at, 0};
        long long value = Ternary(e);
        if (e.pos < expanded.size()) throw Error{at.file, at.line, at.column, "unexpected '" + expanded[e.pos].text + "' in #if"};
        return value;
    }

    // Expands the macros of one directive line with the same machinery as the file's tokens.
    void ExpandLine(const std::vector<EffectToken>& in, std::vector<EffectToken>& out) {
        std::vector<Pending> saved;
        saved.swap(pending_);
        std::vector<Source> savedSources;
        savedSources.swap(sources_);
        Source line;
        line.file = in.empty() ? 0 : in[0].file;
        line.tokens = in;
        EffectToken end;
        line.tokens.push_back(end);
        sources_.push_back(std::move(line));
        struct Restore {
            Preprocessor& p;
            std::vector<Pending>& saved;
            std::vector<Source>& savedSources;
            ~Restore() {
                p.pending_.swap(saved);
                p.sources_.swap(savedSources);
            }
        } restore{*this, saved, savedSources};
        for (;;) {
            EffectToken* next = nullptr;
            if (!PeekRaw(next)) break;
            EffectToken token;
            HideSet hide;
            Read(token, hide);
            if (token.kind == Kind::Identifier && Expand(token, hide)) continue;
            if (out.size() >= kMaxEffectTokens) throw Error{token.file, token.line, token.column, "#if expression too long"};
            out.push_back(std::move(token));
        }
    }

    struct Expression {
        const std::vector<EffectToken>& t;
        std::size_t pos;
        const EffectToken& at;
        int depth;
    };

    [[noreturn]] static void Bad(Expression& e, const std::string& what) {
        throw Error{e.at.file, e.at.line, e.at.column, what + " in #if"};
    }
    static bool IsOp(Expression& e, const char* op) {
        const std::size_t n = std::char_traits<char>::length(op);
        if (e.pos + n > e.t.size()) return false;
        for (std::size_t k = 0; k < n; ++k) {
            const EffectToken& t = e.t[e.pos + k];
            if (t.kind != Kind::Punct || t.text[0] != op[k]) return false;
            if (k > 0 && !Adjacent(e.t[e.pos + k - 1], t)) return false;
        }
        // "<" is not "<<", "&" is not "&&", "=" alone is not an operator here.
        if (e.pos + n < e.t.size()) {
            const EffectToken& after = e.t[e.pos + n];
            if (after.kind == Kind::Punct && Adjacent(e.t[e.pos + n - 1], after)) {
                const char a = after.text[0], last = op[n - 1];
                if (n == 1 && (a == last && std::string("<>&|=").find(a) != std::string::npos)) return false;
                if (n == 1 && a == '=' && std::string("<>!=").find(last) != std::string::npos) return false;
            }
        }
        return true;
    }
    static bool Take(Expression& e, const char* op) {
        if (!IsOp(e, op)) return false;
        e.pos += std::char_traits<char>::length(op);
        return true;
    }

    long long Ternary(Expression& e) {
        if (++e.depth > kMaxExpressionDepth) Bad(e, "expression nested too deeply");
        long long c = Binary(e, 0);
        if (Take(e, "?")) {
            long long a = Ternary(e);
            if (!Take(e, ":")) Bad(e, "expected ':'");
            long long b = Ternary(e);
            c = c ? a : b;
        }
        --e.depth;
        return c;
    }

    long long Binary(Expression& e, int level) {
        static const std::vector<std::vector<const char*>> levels = {
            {"||"}, {"&&"}, {"|"}, {"^"}, {"&"}, {"==", "!="}, {"<=", ">=", "<", ">"}, {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"}};
        if (level == static_cast<int>(levels.size())) return Unary(e);
        long long left = Binary(e, level + 1);
        for (;;) {
            const char* op = nullptr;
            for (const char* candidate : levels[static_cast<std::size_t>(level)])
                if (IsOp(e, candidate)) {
                    op = candidate;
                    break;
                }
            if (!op) return left;
            Take(e, op);
            const long long right = Binary(e, level + 1);
            const std::string o = op;
            const auto ul = static_cast<unsigned long long>(left), ur = static_cast<unsigned long long>(right);
            if (o == "||") left = left || right;
            else if (o == "&&") left = left && right;
            else if (o == "|") left = left | right;
            else if (o == "^") left = left ^ right;
            else if (o == "&") left = left & right;
            else if (o == "==") left = left == right;
            else if (o == "!=") left = left != right;
            else if (o == "<=") left = left <= right;
            else if (o == ">=") left = left >= right;
            else if (o == "<") left = left < right;
            else if (o == ">") left = left > right;
            else if (o == "<<") left = static_cast<long long>(ul << (ur & 63));
            else if (o == ">>") left = static_cast<long long>(ul >> (ur & 63));
            else if (o == "+") left = static_cast<long long>(ul + ur);
            else if (o == "-") left = static_cast<long long>(ul - ur);
            else if (o == "*") left = static_cast<long long>(ul * ur);
            else {
                if (right == 0) Bad(e, "division by zero");
                if (left == INT64_MIN && right == -1) left = o == "/" ? left : 0;
                else left = o == "/" ? left / right : left % right;
            }
        }
    }

    long long Unary(Expression& e) {
        if (Take(e, "!")) return Nested(e, [&] { return static_cast<long long>(!Unary(e)); });
        if (Take(e, "~")) return Nested(e, [&] { return ~Unary(e); });
        if (Take(e, "-")) return Nested(e, [&] { return static_cast<long long>(0ULL - static_cast<unsigned long long>(Unary(e))); });
        if (Take(e, "+")) return Nested(e, [&] { return Unary(e); });
        if (Take(e, "(")) {
            long long value = Ternary(e);
            if (!Take(e, ")")) Bad(e, "expected ')'");
            return value;
        }
        if (e.pos >= e.t.size()) Bad(e, "expression ends early");
        const EffectToken& t = e.t[e.pos++];
        if (t.kind == Kind::Identifier) return 0;  // a name that is no macro
        if (t.kind != Kind::Number) Bad(e, "unexpected '" + t.text + "'");
        return Integer(e, t.text);
    }

    template <typename F>
    long long Nested(Expression& e, F f) {
        if (++e.depth > kMaxExpressionDepth) Bad(e, "expression nested too deeply");
        long long value = f();
        --e.depth;
        return value;
    }

    static long long Integer(Expression& e, std::string text) {
        while (!text.empty() && (text.back() == 'u' || text.back() == 'U' || text.back() == 'l' || text.back() == 'L')) text.pop_back();
        int base = 10;
        std::size_t start = 0;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) base = 16, start = 2;
        else if (text.size() > 1 && text[0] == '0') base = 8, start = 1;
        unsigned long long value = 0;
        if (start >= text.size() && base != 8) Bad(e, "bad number '" + text + "'");
        for (std::size_t i = start; i < text.size(); ++i) {
            const char c = text[i];
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
            if (digit >= base) Bad(e, "'" + text + "' is not an integer");
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        }
        return static_cast<long long>(value);
    }

    std::vector<std::string>& files_;
    std::vector<EffectToken>& out_;
    std::vector<Source> sources_;
    std::vector<Pending> pending_;  // the next token to read is the last
    std::unordered_map<std::string, Macro> macros_;
    EffectToken end_;  // where the main file ends
};

}  // namespace

std::string EffectMessage(const Result<>& error) {
    return error.path + "(" + std::to_string(error.line) + "," + std::to_string(error.column) +
           "): error: " + error.message;
}

Result<> EffectFailure(std::string fileName, int line, int column, std::string what) {
    Result<> error = Failure(std::move(fileName), line, std::move(what));
    error.column = column;
    return error;
}

Result<std::vector<EffectToken>> PreprocessEffect(const std::string& source, const std::string& fileName,
                                                  std::vector<std::string>& files) {
    files.clear();
    std::vector<EffectToken> tokens;
    try {
        Preprocessor(files, tokens).Run(source, fileName);
    } catch (const Error& error) {
        const std::string name = static_cast<std::size_t>(error.file) < files.size() ? files[static_cast<std::size_t>(error.file)] : fileName;
        return EffectFailure(name, error.line, error.column, error.message);
    }
    return tokens;
}
