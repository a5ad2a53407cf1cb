// Splits the text of a module into tokens. Lines end with a Newline token (a line continued
// with " _" does not); each token keeps the line and column where it starts.
#pragma once

#include <string>
#include <vector>

namespace brtl::basic {

enum class Tok {
    End,
    Newline,
    Number,     // text holds the literal, suffix its type character (or 0)
    String,     // text holds the value, doubled quotes undone
    Date,       // text holds what lies between the two #
    Identifier, // text holds the name, suffix its type character (or 0)
    Hash,       // the # before a file number
    Symbol      // one of ( ) , ; : = < > <= >= <> + - * / \ ^ & ? .
};

struct Token {
    Tok kind = Tok::End;
    std::string text;
    char suffix = 0;
    int line = 1;
    int column = 1;
    bool space_before = false; // blank or start of line before it (Foo (x) versus Foo(x))
};

// An error in the text of a module, at a line and column.
struct SourceError {
    int line;
    int column;
    std::string message;
};

// The tokens of text, ending with a Newline and one End; throws SourceError. first_line numbers
// the first line of the text.
std::vector<Token> tokenize(const std::string &text, int first_line = 1);

// The upper-case form of a name (the dialect's names ignore case).
std::string upper(std::string text);

} // namespace brtl::basic
