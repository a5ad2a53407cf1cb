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

/* ---- String statements ----------------------------------------------------------------------
 * The runtime-string forms write into the caller's variable *dest; a temporary src is released
 * on every path. LSet, RSet and MidB never change dest's byte length; Mid may give dest a new
 * buffer (under a double-byte code page a new byte length too). A double-byte character is
 * never split by Mid, LSet or RSet. A start or length below 1 (with a length other than 0), or
 * a start beyond dest, raises trap 5. The Variant forms own src and store a new string in *dest;
 * after a conversion trap whose hook returns *dest keeps its value. */

/* Mid(dest, start, length) = src, counting characters of the code page. */
BRTL_API void ZbiBuiltIn_MidStmt_(BiString *dest, BiString src, int32_t start, int32_t length);
/* MidB(dest, start, length) = src, counting bytes; dest keeps its buffer and length. */
BRTL_API void ZbiBuiltIn_MidBStmt_(BiString *dest, BiString src, int32_t start, int32_t length);
/* Mid on the code page form of a Variant's text; dest becomes a string Variant. */
BRTL_API void ZbiBuiltIn_MidStmt(VARIANT *dest, VARIANT src, int32_t start, int32_t length);
/* MidB on the code page form of a Variant's text; dest becomes a string Variant. */
BRTL_API void ZbiBuiltIn_MidBStmt(VARIANT *dest, VARIANT src, int32_t start, int32_t length);
/* LSet dest = src: src left-justified in dest's width, the rest filled with spaces. */
BRTL_API void ZbiBuiltIn_LSet(BiString *dest, BiString src);
/* RSet dest = src: src right-justified in dest's width (left-justified when it does not fit). */
BRTL_API void ZbiBuiltIn_RSet(BiString *dest, BiString src);
/* LSet on a Variant: the width is the byte length of dest's text. */
BRTL_API void ZbiBuiltIn_LSetVar(VARIANT *dest, VARIANT src);
/* RSet on a Variant: the width is the byte length of dest's text. */
BRTL_API void ZbiBuiltIn_RSetVar(VARIANT *dest, VARIANT src);
/* Copies the first min(src_size, dest_size) bytes of a record over another; no padding. */
BRTL_API void ZbiBuiltIn_LSetRec(void *dest, int32_t dest_size, const void *src, int32_t src_size);

/* ---- Search and comparison -------------------------------------------------------------------
 * The compare mode: 0 compares binary, 1 and the other accepted values (256, 258 to 262) compare
 * as text (case-blind); any other value raises trap 5. The builtins own and clear both operands;
 * a Null operand gives Null; numbers are compared as their text. */
#define BI_COMPARE_BINARY 0
#define BI_COMPARE_TEXT 1
#define BI_COMPARE_TEXT_256 256
#define BI_COMPARE_TEXT_RANGE_FIRST 258
#define BI_COMPARE_TEXT_RANGE_LAST 262

/* The 1-based position of sought in text from start on (a Long), or 0; text mode folds ASCII. */
BRTL_API VARIANT *ZbiBuiltIn_InStr(VARIANT *result, int32_t start, VARIANT text, VARIANT sought,
                                   int32_t mode);
/* As ZbiBuiltIn_InStr; text mode folds case by the wide-character rules. */
BRTL_API VARIANT *ZbiBuiltIn_InStrC(VARIANT *result, int32_t start, VARIANT text, VARIANT sought,
                                    int32_t mode);
/* -1, 0 or 1 (an Integer) as a orders before, with or after b by their code page bytes. */
BRTL_API VARIANT *ZbiBuiltIn_StrComp(VARIANT *result, VARIANT a, VARIANT b, int16_t mode);

/* ---- Pattern matching ------------------------------------------------------------------------ */

/* A host matcher, found as "ZrBiMatchPattern" by ZrGetIntStrProc under a double-byte code page:
 * NUL-terminated text and pattern, nonzero to ignore case; returns -1 on a match, else 0. */
typedef int32_t (*BiMatchPatternProc)(const OLECHAR *text, const OLECHAR *pattern,
                                      int32_t ignore_case);
/* text Like pattern: an Integer -1 or 0, Null when either is Null; owns and clears both. A list
 * without its "]" or with a bad range raises trap 93 (once) and the answer is 0. */
BRTL_API VARIANT *ZbiMatchPattern(VARIANT *result, VARIANT text, VARIANT pattern);
/* Removes the "%s" placeholders of a message template in place; returns the new length. */
BRTL_API int32_t ZbiStripOutFormatChars(char *s);

/* ---- Numeric text scanning ---------------------------------------------------------------- */

/* The number at the start of s, as BASIC's Val reads it; a temporary s is released. */
BRTL_API double ZbiBuiltIn_Val(BiString s);
/* -1 when v is a number or a text that is one, else 0; clears v. */
BRTL_API int16_t ZbiBuiltIn_IsNumeric(VARIANT v);

BRTL_END_DECLS

#endif
