// The dialect's functions that the library does not export, built on its routines: Len, Chr,
// Asc, Str, Hex, Oct, Int, Fix, Round, Abs and Sgn of Variants, IsMissing, the list builtins
// (Choose, Switch), the cash-flow functions over arrays, and the statements that need a host
// routine (Randomize without a seed, Debug.Print, Debug.Assert, Close of a list, Error).
// Arguments passed by value are consumed.
#pragma once

#include <cstdint>

#include "brtl/brtl.h"
#include "storage.h"

namespace brtl::rt {

// The Variant that stands for an Optional argument the call left out.
VARIANT missing_argument();
int16_t is_missing(VARIANT *v);

int32_t len_of_string(BiString s);
VARIANT len_of_variant(VARIANT v); // Null for Null, else the Long length of its text
BiString chr_string(int32_t code);
VARIANT chr_variant(int32_t code);
int32_t asc_of(BiString s);
// Str: the text of a number with a blank in the place of its sign when it is not negative.
BiString str_of_double(double v);
VARIANT str_of_variant(VARIANT v);
BiString hex_of_long(int32_t v);
BiString hex_of_integer(int16_t v);
VARIANT hex_of_variant(VARIANT v);
BiString oct_of_long(int32_t v);
BiString oct_of_integer(int16_t v);
VARIANT oct_of_variant(VARIANT v);
// CInt and CLng of a Variant: the library's CInt rounding (half to even), then the type.
int16_t cint_of_variant(VARIANT v);
int32_t clng_of_variant(VARIANT v);
double int_of_double(double v);
double fix_of_double(double v);
BiCurrency int_of_currency(BiCurrency v);
BiCurrency fix_of_currency(BiCurrency v);
VARIANT int_of_variant(VARIANT v);
VARIANT fix_of_variant(VARIANT v);
VARIANT abs_of_variant(VARIANT v);
VARIANT sgn_of_variant(VARIANT v);
// Round(x[, digits]): half to even, as CInt rounds; the result keeps x's numeric subtype.
VARIANT round_variant(VARIANT v, int32_t digits);
double round_double(double v, int32_t digits);
VARIANT cvar(VARIANT v);
// Shell(command[, style]): the started program's task id, as a Double.
double shell(BiString command, int32_t style);
// String(n, character) and Space(n) as Variants.
VARIANT string_variant(int32_t n, VARIANT character);

// Choose(index, item...) and Switch(condition, value, ...): the items in source order.
VARIANT choose(int32_t index, VARIANT *items, int32_t count);
VARIANT switch_of(VARIANT *items, int32_t count);
// The values of an array (of numbers or Variants) or of a Variant array, for NPV, IRR, MIRR.
double npv(double rate, VARIANT *values);
double irr(VARIANT *values, double guess);
double mirr(VARIANT *values, double finance_rate, double reinvest_rate);
// The same over a typed array (element_kind: the Kind of its elements).
double npv_array(double rate, const void *values, int32_t element_kind);
double irr_array(const void *values, int32_t element_kind, double guess);
double mirr_array(const void *values, int32_t element_kind, double finance_rate,
                  double reinvest_rate);
// VarType of a Variant (8204 for an array of Variants).
int16_t var_type_of(VARIANT *v);

// Randomize without a seed takes the seconds since midnight.
void randomize_timer();
// Debug.Assert condition: the library's assertion with the program's file and line.
void debug_assert(int16_t holds, BiString source, int32_t line);
// The text Print shows for a Variant, as a temporary.
BiString print_text_of(VARIANT v);
// Debug.Print: the text of the line to the debugger output.
void debug_print(BiString text);
// Close #a, #b, ...: the numbers (every file when count is 0).
void close_files(const int16_t *numbers, int32_t count);
// Error n: raises trap n (5 when n is outside 1 to 65535).
[[noreturn]] void error_statement(int32_t n);
// Err = n.
void set_err(int32_t n);

} // namespace brtl::rt
