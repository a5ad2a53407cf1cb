// The monetary conventions of the platform C runtime's locale (its localeconv), which the format
// engine builds the Currency named format from.
#pragma once

namespace brtl::platform {

// The members of the C library's lconv that describe a currency amount. A number member of
// kNotAvailable means "not available in this locale", as CHAR_MAX does there.
struct MonetaryConventions {
    const char *currency_symbol; // never null; empty when the locale has none
    int frac_digits;
    int p_cs_precedes;
    int p_sep_by_space;
    int n_sign_posn;
};

constexpr int kNotAvailable = 127;

// The conventions of the runtime's locale. Both code pages the runtime knows ("C" and "Ja_JP")
// only choose how multibyte text is read; their monetary conventions are those of the C
// library's "C" locale: no symbol and every number member not available.
MonetaryConventions monetary_conventions();

} // namespace brtl::platform
