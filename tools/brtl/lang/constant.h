// A value known before the program runs: a literal, a constant, a folded constant expression.
#pragma once

#include <cstdint>
#include <string>

#include "brtl/brtl.h"
#include "services/storage.h"

namespace brtl::basic {

struct Constant {
    rt::Kind kind = rt::Kind::Variant; // Integer, Long, Single, Double, Currency, String, Variant
    int16_t i2 = 0;
    int32_t i4 = 0;
    float r4 = 0;
    double r8 = 0;
    BiCurrency cy = 0;
    std::string text;  // String
    VARIANT variant{}; // Variant: Empty, Null, a Date or an Error value (never a string)

    static Constant integer(int16_t v);
    static Constant long_(int32_t v);
    static Constant double_(double v);
    static Constant string(std::string v);
    static Constant empty();
    static Constant null();
};

// The Variant of a constant (a String constant becomes a String Variant the caller clears).
VARIANT to_variant(const Constant &c);
// The constant of a Variant of a numeric, string, date, Empty, Null or Error subtype; false for
// anything else (a Boolean becomes the Integer it stands for). v is not cleared.
bool from_variant(const VARIANT &v, Constant &out);

// The constant of a number literal with its type character: &H and &O literals keep their bits
// (&HFFFF is the Integer -1); a decimal literal is the smallest of Integer, Long and Double that
// holds it unless its type character says otherwise. Throws rt::Trap when it does not fit.
Constant number_literal(const std::string &text, char suffix);
// True when the text reads as a date and time.
bool is_date_text(const std::string &text);
// The Date of a date literal's text; false when it is no date.
bool date_literal(const std::string &text, Constant &out);

} // namespace brtl::basic
