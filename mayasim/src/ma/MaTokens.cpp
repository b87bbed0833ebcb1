// Statement splitting for scene files.
#include "MaTokens.h"

namespace mayasim {
namespace ma {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string lineError(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

}  // namespace

void Tokenizer::skipSpaceAndComments() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n') {
            ++line_;
            ++pos_;
        } else if (isSpace(c)) {
            ++pos_;
        } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
            while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        } else {
            return;
        }
    }
}

// Reads a quoted string starting at the opening quote. Without escapes the token is a view into the
// text; otherwise the unescaped copy is kept in owned_.
bool Tokenizer::readString(Token& t, std::string& error) {
    const int startLine = line_;
    const std::size_t begin = ++pos_;
    std::size_t end = begin;
    bool escaped = false;
    while (end < text_.size() && text_[end] != '"') {
        if (text_[end] == '\\') {
            escaped = true;
            ++end;
            if (end >= text_.size()) break;
        }
        if (text_[end] == '\n') ++line_;
        ++end;
    }
    if (end >= text_.size()) {
        error = lineError(startLine, "string not closed before the end of the file");
        return false;
    }
    t.kind = Token::kString;
    t.line = startLine;
    if (!escaped) {
        t.text = text_.substr(begin, end - begin);
    } else {
        std::string s;
        s.reserve(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            char c = text_[i];
            if (c == '\\' && i + 1 < end) {
                const char e = text_[++i];
                switch (e) {
                    case 'n':
                        c = '\n';
                        break;
                    case 't':
                        c = '\t';
                        break;
                    case 'r':
                        c = '\r';
                        break;
                    default:
                        c = e;
                        break;
                }
            }
            s += c;
        }
        owned_.push_back(std::move(s));
        t.text = owned_.back();
    }
    pos_ = end + 1;
    return true;
}

// "(" string ("+" string)* ")": one string token holding the joined text.
bool Tokenizer::readJoinedStrings(Token& t, std::string& error) {
    const int startLine = line_;
    ++pos_;  // '('
    std::string joined;
    bool expectString = true;
    for (;;) {
        skipSpaceAndComments();
        if (pos_ >= text_.size()) {
            error = lineError(startLine, "parenthesis not closed before the end of the file");
            return false;
        }
        const char c = text_[pos_];
        if (expectString && c == '"') {
            Token part;
            if (!readString(part, error)) return false;
            joined.append(part.text.data(), part.text.size());
            expectString = false;
        } else if (!expectString && c == '+') {
            ++pos_;
            expectString = true;
        } else if (!expectString && c == ')') {
            ++pos_;
            break;
        } else {
            error = lineError(line_, "expected a string joined with '+' inside parentheses");
            return false;
        }
    }
    owned_.push_back(std::move(joined));
    t.kind = Token::kString;
    t.text = owned_.back();
    t.line = startLine;
    return true;
}

bool Tokenizer::next(std::vector<Token>& out, std::string& error) {
    out.clear();
    owned_.clear();
    for (;;) {
        skipSpaceAndComments();
        if (pos_ >= text_.size()) {
            if (!out.empty()) {
                error = lineError(statementLine_, "statement not ended by ';' before the end of the file");
                out.clear();
            }
            return false;
        }
        const char c = text_[pos_];
        if (c == ';') {
            ++pos_;
            if (out.empty()) continue;  // an empty statement
            return true;
        }
        Token t;
        if (c == '"') {
            if (!readString(t, error)) {
                out.clear();
                return false;
            }
        } else if (c == '(') {
            if (!readJoinedStrings(t, error)) {
                out.clear();
                return false;
            }
        } else {
            const std::size_t begin = pos_;
            while (pos_ < text_.size() && !isSpace(text_[pos_]) && text_[pos_] != ';' && text_[pos_] != '"')
                ++pos_;
            t.kind = Token::kWord;
            t.text = text_.substr(begin, pos_ - begin);
            t.line = line_;
        }
        if (out.empty()) statementLine_ = t.line;
        out.push_back(t);
    }
}

}  // namespace ma
}  // namespace mayasim
