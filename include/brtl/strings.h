/* brtl: the string library: substrings, case and trimming, numeric text scanning. */
#ifndef BRTL_STRINGS_H
#define BRTL_STRINGS_H

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Case and trimming ------------------------------------------------------------------------
 * The Variant forms work in place on the caller's Variant: Null stays Null, any other subtype is
 * first converted to a string Variant. The runtime-string forms own their argument: a temporary
 * is returned (changed in place) or freed; a borrowed string is only read. */

/* Lower-cases each unit of the Variant's string in place. */
BRTL_API void ZbiBuiltIn_LCase(VARIANT *v);
/* Upper-cases each unit of the Variant's string in place. */
BRTL_API void ZbiBuiltIn_UCase(VARIANT *v);
/* Removes leading spaces (and the full-width space of a double-byte code page) in place. */
BRTL_API void ZbiBuiltIn_LTrim(VARIANT *v);
/* Removes trailing spaces (and the full-width space of a double-byte code page) in place. */
BRTL_API void ZbiBuiltIn_RTrim(VARIANT *v);
/* ZbiBuiltIn_LTrim, then ZbiBuiltIn_RTrim, on the same Variant. */
BRTL_API void ZbiBuiltIn_Trim(VARIANT *v);
/* s with its single-byte letters lowered; a temporary s is changed in place and returned. */
BRTL_API BiString ZbiBuiltIn_LCase_(BiString s);
/* s with its single-byte letters raised; a temporary s is changed in place and returned. */
BRTL_API BiString ZbiBuiltIn_UCase_(BiString s);
/* A new temporary of s without its leading spaces (empty with the flag clear when none is left). */
BRTL_API BiString ZbiBuiltIn_LTrim_(BiString s);
/* A new temporary of s without its trailing spaces; an empty s comes back unchanged. */
BRTL_API BiString ZbiBuiltIn_RTrim_(BiString s);
/* ZbiBuiltIn_LTrim_, then ZbiBuiltIn_RTrim_ on its result. */
BRTL_API BiString ZbiBuiltIn_Trim_(BiString s);

/* ---- Substrings -------------------------------------------------------------------------------
 * The Variant forms own the operand v: it is moved (possibly shortened) into *result or cleared;
 * *result is overwritten and returned. A negative count, or a start or length below 1 (with a
 * length other than 0), raises trap 5. The C forms count characters of the code page. */

/* The first n units of the string Variant v; Null gives Null. */
BRTL_API VARIANT *ZbiBuiltIn_Left(VARIANT *result, VARIANT v, int32_t n);
/* The last n units of the string Variant v; Null gives Null. */
BRTL_API VARIANT *ZbiBuiltIn_Right(VARIANT *result, VARIANT v, int32_t n);
/* As ZbiBuiltIn_Left (a BSTR holds one unit per character). */
BRTL_API VARIANT *ZbiBuiltIn_LeftC(VARIANT *result, VARIANT v, int32_t n);
/* As ZbiBuiltIn_Right (a BSTR holds one unit per character). */
BRTL_API VARIANT *ZbiBuiltIn_RightC(VARIANT *result, VARIANT v, int32_t n);
/* Bytes start .. start + length - 1 of the code page form of v, as a new string Variant. */
BRTL_API VARIANT *ZbiBuiltIn_MidFunc(VARIANT *result, VARIANT v, int32_t start, int32_t length);
/* Characters start .. start + length - 1 of v, as a new string Variant. */
BRTL_API VARIANT *ZbiBuiltIn_MidFuncC(VARIANT *result, VARIANT v, int32_t start, int32_t length);
/* The first n bytes of s: s itself when it is no longer, else a new temporary (s released). */
BRTL_API BiString ZbiBuiltIn_Left_(BiString s, int32_t n);
/* The last n bytes of s: s itself when it is no longer, else a new temporary (s released). */
BRTL_API BiString ZbiBuiltIn_Right_(BiString s, int32_t n);
/* The first n characters of s: s itself when it is no longer, else a new temporary. */
BRTL_API BiString ZbiBuiltIn_LeftC_(BiString s, int32_t n);
/* The last n characters of s: s itself when it is no longer, else a new temporary. */
BRTL_API BiString ZbiBuiltIn_RightC_(BiString s, int32_t n);
/* Bytes start .. start + length - 1 (1-based) of s as a new temporary; s is released. */
BRTL_API BiString ZbiBuiltIn_MidFunc_(BiString s, int32_t start, int32_t length);
/* Characters start .. start + length - 1 (1-based) of s as a new temporary; s is released. */
BRTL_API BiString ZbiBuiltIn_MidFuncC_(BiString s, int32_t start, int32_t length);

/* ---- Repeated character ------------------------------------------------------------------ */

/* A temporary of n copies of the character given by ch (a code or a string); clears ch. */
BRTL_API BiString ZbiBuiltIn_Space_(int32_t n, VARIANT ch);

/* ---- Numeric text scanning ---------------------------------------------------------------- */

/* The number at the start of s, as BASIC's Val reads it; a temporary s is released. */
BRTL_API double ZbiBuiltIn_Val(BiString s);
/* -1 when v is a number or a text that is one, else 0; clears v. */
BRTL_API int16_t ZbiBuiltIn_IsNumeric(VARIANT v);

BRTL_END_DECLS

#endif
