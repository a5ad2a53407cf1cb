#include "lexer.h"

#include "literals.h"

#include <cctype>
#include <cstring>

namespace brtl_host {
namespace {

bool ident_start(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}
bool ident_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
}
bool is_digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool type_char(char c) {
    return c == '%' || c == '&' || c == '!' || c == '#' || c == '@' || c == '$';
}

class Lexer {
  public:
    explicit Lexer(const std::string &line) : s_(line) {}

    std::vector<Token> run() {
        std::vector<Token> out;
        while (true) {
            while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r'))
                ++i_;
            if (i_ >= s_.size() || s_[i_] == '\'') break;
            out.push_back(next());
            if (out.back().kind == Tok::Identifier && upper(out.back().text) == "REM") {
                out.pop_back();
                break;
            }
        }
        Token end;
        end.column = static_cast<int>(s_.size()) + 1;
        out.push_back(end);
        return out;
    }

  private:
    static std::string upper(std::string t) {
        for (char &c : t)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return t;
    }

    Token make(Tok kind, size_t start) {
        Token t;
        t.kind = kind;
        t.column = static_cast<int>(start) + 1;
        return t;
    }

    Token next() {
        size_t start = i_;
        char c = s_[i_];
        if (c == '"') return string_literal(start);
        if (c == '#') return hash(start);
        if (c == '&' && i_ + 1 < s_.size() && std::strchr("HhOo", s_[i_ + 1]) != nullptr &&
            s_[i_ + 1] != 0)
            return radix_literal(start);
        if (is_digit(c) || (c == '.' && i_ + 1 < s_.size() && is_digit(s_[i_ + 1])))
            return number(start);
        if (ident_start(c)) return identifier(start);
        return symbol(start);
    }

    Token string_literal(size_t start) {
        Token t = make(Tok::String, start);
        ++i_;
        while (true) {
            if (i_ >= s_.size()) throw SyntaxError{t.column, "unterminated string"};
            if (s_[i_] == '"') {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
                    t.text += '"';
                    i_ += 2;
                    continue;
                }
                ++i_;
                return t;
            }
            t.text += s_[i_++];
        }
    }

    // A # opens a date literal when a second # closes it on the line and what lies between
    // reads as a date (and is not a bare number); otherwise it marks a file number.
    Token hash(size_t start) {
        size_t close = s_.find('#', i_ + 1);
        if (close != std::string::npos) {
            std::string inside = s_.substr(i_ + 1, close - i_ - 1);
            bool quoted = inside.find('"') != std::string::npos;
            bool bare_number = inside.find_first_not_of("0123456789 ") == std::string::npos;
            if (!quoted && !bare_number && is_date_text(inside)) {
                Token t = make(Tok::Date, start);
                t.text = inside;
                i_ = close + 1;
                return t;
            }
        }
        ++i_;
        return make(Tok::Hash, start);
    }

    void take_number_suffix(Token &t) {
        if (i_ < s_.size() && type_char(s_[i_]) && s_[i_] != '$' &&
            !(i_ + 1 < s_.size() && ident_char(s_[i_ + 1]))) {
            t.suffix = s_[i_++];
        }
    }

    Token radix_literal(size_t start) {
        Token t = make(Tok::Number, start);
        t.text = "&";
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(s_[i_ + 1])));
        i_ += 2;
        while (i_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[i_])))
            t.text += s_[i_++];
        if (t.text.size() == 2) throw SyntaxError{t.column, "digits expected"};
        take_number_suffix(t);
        return t;
    }

    Token number(size_t start) {
        Token t = make(Tok::Number, start);
        while (i_ < s_.size() && (is_digit(s_[i_]) || s_[i_] == '.'))
            t.text += s_[i_++];
        if (i_ < s_.size() && (s_[i_] == 'E' || s_[i_] == 'e' || s_[i_] == 'D' || s_[i_] == 'd')) {
            size_t j = i_ + 1;
            if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
            if (j < s_.size() && is_digit(s_[j])) {
                t.text += 'E';
                t.text.append(s_, i_ + 1, j - i_ - 1);
                i_ = j;
                while (i_ < s_.size() && is_digit(s_[i_]))
                    t.text += s_[i_++];
            }
        }
        take_number_suffix(t);
        return t;
    }

    Token identifier(size_t start) {
        Token t = make(Tok::Identifier, start);
        while (i_ < s_.size() && ident_char(s_[i_]))
            t.text += s_[i_++];
        // A type character directly after the name is its suffix, unless a name or number
        // follows it at once (then the & is the concatenation operator).
        if (i_ < s_.size() && type_char(s_[i_])) {
            bool glued = i_ + 1 < s_.size() && (ident_char(s_[i_ + 1]) || s_[i_ + 1] == '"');
            if (!glued) t.suffix = s_[i_++];
        }
        return t;
    }

    Token symbol(size_t start) {
        Token t = make(Tok::Symbol, start);
        static const char *const two[] = {"<=", ">=", "<>"};
        for (const char *op : two) {
            if (s_.compare(i_, 2, op) == 0) {
                t.text = op;
                i_ += 2;
                return t;
            }
        }
        char c = s_[i_];
        if (std::strchr("(),;:=<>+-*/\\^&?", c) == nullptr || c == 0)
            throw SyntaxError{t.column, std::string("unexpected character '") + c + "'"};
        t.text = std::string(1, c);
        ++i_;
        return t;
    }

    const std::string &s_;
    size_t i_ = 0;
};

} // namespace

std::vector<Token> tokenize(const std::string &line) {
    return Lexer(line).run();
}

} // namespace brtl_host
