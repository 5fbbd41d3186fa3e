#include "netlib/mime/MailAddresses.h"

#include <cstddef>

namespace {

// Broken: an unclosed quoted string or domain literal, never part of an address.
enum class TokenKind { Word, Quoted, Literal, Special, Broken };

// A lexical unit of an address header. Quoted strings and domain literals keep their quotes,
// brackets and escapes as written: an addr-spec is copied, never rebuilt.
struct Token {
    TokenKind Kind;
    std::string Text;
    bool Is(char c) const { return Kind == TokenKind::Special && Text[0] == c; }
    bool IsWordLike() const { return Kind == TokenKind::Word || Kind == TokenKind::Quoted; }
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsSpecial(char c) {
    switch (c) {
        case '<':
        case '>':
        case ',':
        case ':':
        case ';':
        case '@':
        case '.':
            return true;
        default:
            return false;
    }
}

// From an opening character to its closing one; a backslash escapes the next character, and
// an unclosed run ends with the text. Returns the index after it.
size_t SkipEnclosed(const std::string& s, size_t i, char close, bool& closed) {
    closed = false;
    for (++i; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
        } else if (s[i] == close) {
            closed = true;
            return i + 1;
        }
    }
    return s.size();
}

// Comments nest; they are white space to the address.
size_t SkipComment(const std::string& s, size_t i) {
    size_t depth = 0;
    for (; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
        } else if (s[i] == '(') {
            ++depth;
        } else if (s[i] == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return s.size();
}

std::vector<Token> Tokenize(const std::string& s) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        size_t next = i + 1;
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '(') {
            i = SkipComment(s, i);
            continue;
        }
        if (c == ')') {  // a stray closer is no part of any address
            ++i;
            continue;
        }
        TokenKind kind = TokenKind::Special;
        if (c == '"' || c == '[') {
            const char close = c == '"' ? '"' : ']';
            bool closed = false;
            next = SkipEnclosed(s, i, close, closed);
            kind = !closed ? TokenKind::Broken : c == '"' ? TokenKind::Quoted : TokenKind::Literal;
        } else if (!IsSpecial(c)) {
            kind = TokenKind::Word;
            while (next < s.size() && !IsBlank(s[next]) && !IsSpecial(s[next]) && s[next] != '(' &&
                   s[next] != ')' && s[next] != '"' && s[next] != '[')
                ++next;
        }
        tokens.push_back(Token{kind, s.substr(i, next - i)});
        i = next;
    }
    return tokens;
}

// An encoded word (RFC 2047) belongs to a display name, even when a raw comma cut it apart.
bool IsEncodedWordPiece(const Token& t) {
    return t.Kind == TokenKind::Word && t.Text.find("=?") != std::string::npos;
}

// The tokens of a dotted run ending at `last` (word or quoted string, "." between): the index
// of its first token.
size_t DottedRunStart(const std::vector<Token>& t, size_t last) {
    size_t first = last;
    while (first >= 2 && t[first - 1].Is('.') && t[first - 2].IsWordLike()) first -= 2;
    return first;
}

std::string Join(const std::vector<Token>& t, size_t from, size_t to) {
    std::string out;
    for (size_t i = from; i < to; ++i) out += t[i].Text;
    return out;
}

// The addr-spec among a mailbox's tokens (comments already gone); empty when there is none.
// Around the first "@": the dotted local part just before it and the dotted domain just after
// it, so that "Anna Muster anna@example.net" still gives the address.
std::string AddrSpecOf(const std::vector<Token>& t) {
    size_t at = 0;
    while (at < t.size() && !t[at].Is('@')) ++at;
    if (at == t.size()) {
        // No "@": a single local name ("postmaster"), never a display name of several words.
        if (t.empty() || !t.back().IsWordLike() || IsEncodedWordPiece(t.back())) return {};
        return DottedRunStart(t, t.size() - 1) == 0 ? Join(t, 0, t.size()) : std::string();
    }
    if (at == 0 || !t[at - 1].IsWordLike()) return {};
    const size_t first = DottedRunStart(t, at - 1);
    size_t end = at + 1;
    if (end < t.size() && (t[end].Kind == TokenKind::Word || t[end].Kind == TokenKind::Literal)) {
        ++end;
        while (end + 1 < t.size() && t[end].Is('.') && t[end + 1].Kind == TokenKind::Word) end += 2;
    }
    return Join(t, first, end);
}

// Inside angle brackets: an obsolete source route ("@relay.example:") goes before the address.
std::string AngleAddrSpec(const std::vector<Token>& inner) {
    size_t start = 0;
    for (size_t i = 0; i < inner.size(); ++i)
        if (inner[i].Is(':')) start = i + 1;
    return AddrSpecOf(std::vector<Token>(inner.begin() + long(start), inner.end()));
}

}  // namespace

std::vector<std::string> AddrSpecs(const std::string& addressList) {
    const std::vector<Token> tokens = Tokenize(addressList);
    std::vector<std::string> specs;
    std::vector<Token> pending;  // the tokens of the mailbox being read
    bool inGroup = false;
    bool mailboxDone = false;  // an angle address ended it; the rest up to "," is noise
    auto flush = [&] {
        if (!mailboxDone && !pending.empty()) {
            std::string spec = AddrSpecOf(pending);
            if (!spec.empty()) specs.push_back(spec);
        }
        pending.clear();
        mailboxDone = false;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.Is('<')) {
            std::vector<Token> inner;
            while (++i < tokens.size() && !tokens[i].Is('>')) inner.push_back(tokens[i]);
            std::string spec = AngleAddrSpec(inner);
            if (!spec.empty() && !mailboxDone) specs.push_back(spec);
            pending.clear();
            mailboxDone = true;
        } else if (t.Is(',')) {
            flush();
        } else if (t.Is(';')) {
            flush();
            inGroup = false;
        } else if (t.Is(':') && !inGroup && !mailboxDone) {
            // A group's display name; its members follow up to ";".
            pending.clear();
            inGroup = true;
        } else if (!mailboxDone) {
            pending.push_back(t);
        }
    }
    flush();
    return specs;
}

std::string FirstAddrSpec(const std::string& addressList) {
    std::vector<std::string> specs = AddrSpecs(addressList);
    return specs.empty() ? std::string() : specs.front();
}
