#include "lexer.h"

#include <cctype>
#include <cstring>

#include "constant.h"

namespace brtl::basic {

std::string upper(std::string text) {
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

namespace {

bool ident_start(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool ident_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}
bool is_digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool type_char(char c) {
    return c == '%' || c == '&' || c == '!' || c == '#' || c == '@' || c == '$';
}

class Lexer {
  public:
    Lexer(const std::string &text, int first_line) : s_(text), line_(first_line) {}

    std::vector<Token> run() {
        while (i_ < s_.size()) {
            bool blank = skip_blanks();
            if (i_ >= s_.size()) break;
            char c = s_[i_];
            if (c == '\n') {
                newline();
                continue;
            }
            if (c == '\'') {
                skip_comment();
                continue;
            }
            if (continuation()) continue;
            Token t = next();
            t.space_before = blank || out_.empty() || out_.back().kind == Tok::Newline;
            if (t.kind == Tok::Identifier && t.suffix == 0 && upper(t.text) == "REM") {
                skip_comment();
                continue;
            }
            out_.push_back(std::move(t));
        }
        if (out_.empty() || out_.back().kind != Tok::Newline) push_newline();
        Token end;
        end.line = line_;
        end.column = 1;
        out_.push_back(end);
        return std::move(out_);
    }

  private:
    int column() const { return static_cast<int>(i_ - line_start_) + 1; }

    bool skip_blanks() {
        bool any = false;
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r')) {
            ++i_;
            any = true;
        }
        return any || i_ == line_start_;
    }

    void skip_comment() {
        while (i_ < s_.size() && s_[i_] != '\n')
            ++i_;
    }

    void push_newline() {
        Token t;
        t.kind = Tok::Newline;
        t.line = line_;
        t.column = column();
        out_.push_back(t);
    }

    void newline() {
        push_newline();
        ++i_;
        ++line_;
        line_start_ = i_;
    }

    // " _" at the end of a line joins the next line to this one.
    bool continuation() {
        if (s_[i_] != '_' || (i_ > line_start_ && s_[i_ - 1] != ' ' && s_[i_ - 1] != '\t'))
            return false;
        size_t j = i_ + 1;
        while (j < s_.size() && (s_[j] == ' ' || s_[j] == '\t' || s_[j] == '\r'))
            ++j;
        if (j < s_.size() && s_[j] != '\n') return false;
        i_ = j < s_.size() ? j + 1 : j;
        ++line_;
        line_start_ = i_;
        return true;
    }

    Token make(Tok kind) const {
        Token t;
        t.kind = kind;
        t.line = line_;
        t.column = column();
        return t;
    }

    [[noreturn]] void fail(const Token &at, const std::string &message) const {
        throw SourceError{at.line, at.column, message};
    }

    Token next() {
        char c = s_[i_];
        if (c == '"') return string_literal();
        if (c == '#') return hash();
        if (c == '&' && i_ + 1 < s_.size() && std::strchr("HhOo", s_[i_ + 1]) != nullptr &&
            s_[i_ + 1] != 0)
            return radix_literal();
        if (is_digit(c) || (c == '.' && i_ + 1 < s_.size() && is_digit(s_[i_ + 1])))
            return number();
        if (ident_start(c)) return identifier();
        return symbol();
    }

    Token string_literal() {
        Token t = make(Tok::String);
        ++i_;
        while (true) {
            if (i_ >= s_.size() || s_[i_] == '\n') fail(t, "unterminated string");
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
    Token hash() {
        size_t close = s_.find_first_of("#\n", i_ + 1);
        if (close != std::string::npos && s_[close] == '#') {
            std::string inside = s_.substr(i_ + 1, close - i_ - 1);
            bool quoted = inside.find('"') != std::string::npos;
            bool bare_number = inside.find_first_not_of("0123456789 ") == std::string::npos;
            if (!quoted && !bare_number && is_date_text(inside)) {
                Token t = make(Tok::Date);
                t.text = inside;
                i_ = close + 1;
                return t;
            }
        }
        Token t = make(Tok::Hash);
        ++i_;
        return t;
    }

    void take_number_suffix(Token &t) {
        if (i_ < s_.size() && type_char(s_[i_]) && s_[i_] != '$' &&
            !(i_ + 1 < s_.size() && ident_char(s_[i_ + 1]))) {
            t.suffix = s_[i_++];
        }
    }

    Token radix_literal() {
        Token t = make(Tok::Number);
        t.text = "&";
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(s_[i_ + 1])));
        i_ += 2;
        while (i_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[i_])))
            t.text += s_[i_++];
        if (t.text.size() == 2) fail(t, "digits expected");
        take_number_suffix(t);
        return t;
    }

    Token number() {
        Token t = make(Tok::Number);
        bool point = false;
        while (i_ < s_.size() && (is_digit(s_[i_]) || (s_[i_] == '.' && !point))) {
            point = point || s_[i_] == '.';
            t.text += s_[i_++];
        }
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

    Token identifier() {
        Token t = make(Tok::Identifier);
        while (i_ < s_.size() && ident_char(s_[i_]))
            t.text += s_[i_++];
        // A type character directly after the name is its suffix, unless a name, a number or
        // a string follows it at once (then the & is the concatenation operator).
        if (i_ < s_.size() && type_char(s_[i_])) {
            bool glued = i_ + 1 < s_.size() && (ident_char(s_[i_ + 1]) || s_[i_ + 1] == '"');
            if (!glued) t.suffix = s_[i_++];
        }
        return t;
    }

    Token symbol() {
        Token t = make(Tok::Symbol);
        static const char *const two[] = {"<=", ">=", "<>"};
        for (const char *op : two) {
            if (s_.compare(i_, 2, op) == 0) {
                t.text = op;
                i_ += 2;
                return t;
            }
        }
        char c = s_[i_];
        if (std::strchr("(),;:=<>+-*/\\^&?.", c) == nullptr || c == 0)
            fail(t, std::string("unexpected character '") + c + "'");
        t.text = std::string(1, c);
        ++i_;
        return t;
    }

    const std::string &s_;
    size_t i_ = 0;
    size_t line_start_ = 0;
    int line_;
    std::vector<Token> out_;
};

} // namespace

std::vector<Token> tokenize(const std::string &text, int first_line) {
    return Lexer(text, first_line).run();
}

} // namespace brtl::basic
