// Splits one line of the dialect into tokens.
#pragma once

#include <string>
#include <vector>

namespace brtl_host {

enum class Tok {
    End,
    Number,     // text holds the literal, suffix its type character (or 0)
    String,     // text holds the value, doubled quotes undone
    Date,       // text holds what lies between the two #
    Identifier, // text holds the name, suffix its type character (or 0)
    Hash,       // the # before a file number
    Symbol      // text holds one of ( ) , ; : = < > <= >= <> + - * / \ ^ &
};

struct Token {
    Tok kind = Tok::End;
    std::string text;
    char suffix = 0;
    int column = 1; // 1-based column of the token's first character
};

// A syntax error at a column of the line.
struct SyntaxError {
    int column;
    std::string message;
};

// The tokens of line, ending with one Tok::End; throws SyntaxError.
std::vector<Token> tokenize(const std::string &line);

} // namespace brtl_host
