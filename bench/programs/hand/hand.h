// What the hand-written benchmark programs share: the dialect's checked arithmetic in plain C++,
// the subscript check, runtime strings of constant text, the typed value of a builtin's Variant
// result, and the main that starts the run, reports a trap and ends the run.
//
// Each program makes the library calls its .bas twin makes, statement by statement, with the
// arguments in the forms the library takes (a String where it takes one, a Variant where it only
// takes Variants). What the program does itself (counters, sums, comparisons, loops) is plain
// C++ with the checks the dialect makes: an Integer, Long or Currency operation that overflows,
// a Double one that leaves the finite numbers, is trap 6.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "brtl/brtl.h"
#include "brtl/services/console.h"
#include "brtl/services/convert.h"
#include "brtl/services/core.h"
#include "brtl/services/language.h"
#include "brtl/services/strings.h"
#include "brtl/services/variants.h"

namespace hand {

[[noreturn]] inline void overflow() {
    brtl::rt::raise_trap(BI_TRAP_OVERFLOW);
}

// Integer (int16_t), Long (int32_t) and Currency (BiCurrency, a count of ten-thousandths) sums
// and products in their own type.
template <typename T> inline T add(T a, T b) {
    T r;
    if (__builtin_add_overflow(a, b, &r)) overflow();
    return r;
}
template <typename T> inline T sub(T a, T b) {
    T r;
    if (__builtin_sub_overflow(a, b, &r)) overflow();
    return r;
}
template <typename T> inline T mul(T a, T b) {
    T r;
    if (__builtin_mul_overflow(a, b, &r)) overflow();
    return r;
}

// Double arithmetic: a finite result of finite operands, else trap 6 (11 for a division by zero).
inline double finite(double r, double a, double b) {
    if (!std::isfinite(r) && std::isfinite(a) && std::isfinite(b)) overflow();
    return r;
}
inline double add_double(double a, double b) {
    return finite(a + b, a, b);
}
inline double mul_double(double a, double b) {
    return finite(a * b, a, b);
}
inline double divide(double a, double b) {
    if (b == 0) brtl::rt::raise_trap(a == 0 ? BI_TRAP_OVERFLOW : BI_TRAP_DIVISION_BY_ZERO);
    return finite(a / b, a, b);
}

// The assignment of a Double to a Long: rounded half to even, trap 6 outside the Long range.
inline int32_t to_long(double d) {
    double r = std::nearbyint(d);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) overflow();
    return static_cast<int32_t>(r);
}
// The assignment of a Long to an Integer.
inline int16_t to_integer(int32_t v) {
    if (v < INT16_MIN || v > INT16_MAX) overflow();
    return static_cast<int16_t>(v);
}

// The position of subscript i in an array declared lower To upper; trap 9 outside.
inline size_t subscript(int32_t i, int32_t lower, int32_t upper) {
    if (i < lower || i > upper) brtl::rt::raise_trap(brtl::rt::kSubscriptOutOfRange);
    return static_cast<size_t>(i - lower);
}

// A String of constant text: a view of the literal (temporary flag clear), which no routine
// frees. The empty text is the shared empty string.
template <size_t N> inline BiString text(const char (&literal)[N]) {
    if (N == 1) return brtl::rt::empty_string();
    return BiString{const_cast<char *>(literal), static_cast<uint32_t>(N - 1)};
}

// The bytes of a String, compared as the dialect's = compares two Strings under Option Compare
// Binary; a temporary s is freed.
inline bool equals(BiString s, std::string_view literal) {
    bool same = brtl::rt::view(s) == literal;
    brtl::rt::drop(s);
    return same;
}

// CStr of a Long and of a Double: the plain conversion of the format engine; a temporary.
inline BiString cstr(int32_t v) {
    return ZbiBuiltIn_Format_(BI_FORMAT_LONG, &v, brtl::rt::empty_string());
}
inline BiString cstr(double v) {
    return ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &v, brtl::rt::empty_string());
}

// A String as the Variant a builtin that only takes Variants owns; a temporary s is freed.
inline VARIANT variant_of(BiString s) {
    VARIANT v;
    VariantInit(&v);
    ZbiEvalCvtSV(&v, s);
    return v;
}

// The value of a builtin's result of the documented subtype (InStr and DateDiff give a Long,
// Weekday and Month an Integer); any other subtype goes through the library's conversion.
inline int32_t long_of(VARIANT v) {
    if (v.vt == VT_I4) return v.lVal;
    return brtl::rt::to_i4(v);
}
inline int16_t integer_of(VARIANT v) {
    if (v.vt == VT_I2) return v.iVal;
    return brtl::rt::to_i2(v);
}

// a <> b of two Variants, as the dialect compares them: through the library's operator table
// (which consumes both), the result's truth read as If reads it.
inline bool differ(VARIANT a, VARIANT b) {
    return brtl::rt::is_true(brtl::rt::var_binary(BI_OP_NE, a, b));
}

// InStr(start, text, sought) of two Strings, binary compare: the library searches Variants, so
// both go in as Variants, which the search consumes. The position, 0 when sought is not there.
inline int32_t instr(int32_t start, BiString text, BiString sought) {
    VARIANT result;
    VariantInit(&result);
    ZbiBuiltIn_InStr(&result, start, variant_of(text), variant_of(sought), BI_COMPARE_BINARY);
    return long_of(result);
}

// The main of a hand-written program: the run started as a translated program's is, the
// program, then the console flushed and every file closed. A trap ends the program with the
// message of its number on the error channel and exit status 1.
inline int run(void (*program)()) {
    brtl::rt::start_program();
    int status = 0;
    try {
        program();
    } catch (const brtl::rt::Trap &t) {
        brtl::rt::console_end_line();
        std::FILE *errors = brtl::rt::console_errors();
        std::fprintf(errors, "Run-time error %d: %s\n", static_cast<int>(t.number),
                     brtl::rt::error_message(t.number));
        std::fflush(errors);
        status = 1;
    }
    brtl::rt::console_flush();
    brtl::rt::end_program();
    return status;
}

} // namespace hand
