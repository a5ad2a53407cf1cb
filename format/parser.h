// The section parser's working state, shared by the reading of numeric placeholders and of date
// and time tokens.
#pragma once

#include <cstring>

#include "format/engine.h"

namespace brtl::format {

enum class TokenResult {
    NotToken, // the character is no token here: the caller pushes it as a plain character
    Done,     // the token was read and its text pushed
    Rejected, // the token makes the section invalid (trap 5)
    Failed    // a trap was raised already
};

struct Parser {
    Parser(const char *text, size_t length, FormatNumber &n, ParsedSection &o)
        : p(text), end(text + length), number(n), out(o) {}

    // The text being read: the section, or a copy of its rest with a locale pattern in front.
    const char *p;
    const char *end;
    FormatNumber &number;
    ParsedSection &out;

    int placeholders = 0;      // "0" and "#" since the start or since the exponent letter
    int mantissa_integer = -1; // placeholders before the first "." or the exponent letter
    int percents = 0;
    int scalings = 0;
    bool date_mode = false;
    bool exponent = false;
    size_t sign_node = 0; // the node of the exponent's sign
    bool after_placeholder = false;
    bool hour_pending = false; // an hour token makes the next m a minute
    bool multibyte = false;
    int splices = 0;
    bool out_of_memory = false;
    DateFields date; // the number as a date, for the tokens that splice a pattern built from it
    bool serial_read = false;
    bool date_loaded = false;

    SectionLayout &layout() { return out.layout; }
    void plain(char c) { out.nodes.push(Node{c, NodeKind::Plain}); }
    void field(DateField f) {
        out.nodes.push(Node{static_cast<char>(f), NodeKind::Field});
        out.layout.has_fields = true;
        if (reads_calendar(f)) out.layout.reads_calendar = true;
    }
    void literal(char c) { out.nodes.push(Node{c, NodeKind::Literal}); }
    void literal(const char *text, size_t n) {
        for (size_t i = 0; i < n; ++i)
            literal(text[i]);
    }
    void literal(const char *text) { literal(text, std::strlen(text)); }
    // The number read as a date serial.
    double serial();
    // The calendar fields of the number; false after trap 5 when the calendar cannot read it.
    bool calendar();
    // Replaces the text read so far by `text` followed by the rest from p: the pattern of a
    // token is read in place of the token. False when the section splices without end.
    bool splice(const char *text, size_t n);

  private:
    runtime::SmallBuffer<char, 128> spliced_[2];
    int current_ = -1;
};

// Reads the date or time token at parser.p (the section has no digit placeholder yet).
TokenResult read_date_token(Parser &parser);

} // namespace brtl::format
