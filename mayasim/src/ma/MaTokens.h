#ifndef MAYASIM_MA_TOKENS_H
#define MAYASIM_MA_TOKENS_H
// Internal: splits the text of a scene file into statements of words and strings.
//
// A statement ends at ';' outside strings and may run over many lines. Strings take the escapes
// \n \t \r \" \\ and may be joined with '+' inside parentheses ("(" "a" + "b" ")"), as long script
// texts are written. "//" starts a comment to the end of the line. Words and plain strings are views
// into the text; only strings with escapes or joins are copied, and those copies live until the next
// statement is read.

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace mayasim {
namespace ma {

struct Token {
    enum Kind { kWord, kString };
    Kind kind = kWord;
    std::string_view text;
    int line = 0;
    bool isWord(std::string_view w) const { return kind == kWord && text == w; }
};

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : text_(text) {}
    // Reads the next statement into `out`. Returns false at the end of the text (out empty) or on a
    // syntax error (`error` set, naming the line).
    bool next(std::vector<Token>& out, std::string& error);
    // The line of the first token of the statement last read.
    int statementLine() const { return statementLine_; }

  private:
    bool readString(Token& t, std::string& error);
    bool readJoinedStrings(Token& t, std::string& error);
    void skipSpaceAndComments();

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int statementLine_ = 0;
    std::deque<std::string> owned_;
};

}  // namespace ma
}  // namespace mayasim

#endif
