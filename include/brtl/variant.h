/* brtl: the Variant engine: clear and copy, conversions, the operator tables, division,
 * modulus, power and rounding, the predicates and the selection builtins. */
#ifndef BRTL_VARIANT_H
#define BRTL_VARIANT_H

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Clear, copy and conversions ---------------------------------------------------------------
 */

/* Clears v (the host object subtype 15 drops one reference); returns the OLE result. */
BRTL_API HRESULT BiXVariantClear(VARIANT *v);
/* Releases what *dst held, then copies *src into it (subtype 15 takes one reference). */
BRTL_API HRESULT BiXVariantCopy(VARIANT *dst, const VARIANT *src);
/* As BiXVariantCopy, but a VT_BYREF source is copied as the value it refers to. */
BRTL_API HRESULT BiXVariantCopyInd(VARIANT *dst, const VARIANT *src);
/* Copies *src into uninitialised storage. */
BRTL_API HRESULT ZbiVariantCopyNoClear_(VARIANT *dst, const VARIANT *src);
/* Converts *src to a numeric subtype in *dst (dst may be src; a different dst is cleared). */
BRTL_API void ZbiVariantCvtToNum(VARIANT *dst, VARIANT *src);
/* Converts *src to VT_BSTR in *dst, which is overwritten (dst may be src). */
BRTL_API void ZbiVariantCvtToBStr(VARIANT *dst, VARIANT *src);
/* Converts *src to VT_DATE in *dst, which is overwritten (dst may be src). */
BRTL_API void ZbiVariantCvtToDate(VARIANT *dst, VARIANT *src, uint8_t numeric_text,
                                  uint8_t range_check);
/* 1 when v counts as zero (Empty and Null included); a string is converted in place first. */
BRTL_API int32_t ZbiVariantIsZero(VARIANT *v);
/* Typed storage of the type code at p to a Variant in *dst (overwritten); 0, or -1 after a
 * trap. */
BRTL_API int32_t ZbiVariantCvtToVariant(VARIANT *dst, const void *p, int32_t type_code);
/* A Variant to typed storage of the type code at p (the source is converted in place); 0, or
 * -1 after a trap. */
BRTL_API int32_t ZbiVariantCvtFromVariant(void *p, int32_t type_code, VARIANT *src);
/* VariantChangeType with the runtime's traps (13, 6, 7, 5). */
BRTL_API void ZbiVariantChangeTypeAndTrap(VARIANT *dst, VARIANT *src, VARTYPE vt);
/* Converts a VT_BSTR Variant in place to the smallest numeric subtype that holds its text. */
BRTL_API void BiVariantCvtStrToNum(VARIANT *v);
/* Converts any Variant in place to VT_R8. */
BRTL_API void BiVariantCvtToDouble(VARIANT *v);

/* ---- Operator tables -------------------------------------------------------------------------
 * Translated code evaluates a Variant operator by calling the handler that the operator and the
 * operands' subtypes (0-13) select. A handler consumes its operands (it converts them in place
 * and releases what they hold) and writes the result, which must hold a valid Variant (normally
 * Empty) and may be the left operand's own storage. */

/* A unary handler: result, operand. */
typedef void (*BiUnaryHandler)(VARIANT *result, VARIANT *operand);
/* A binary handler: operator code 0-13, result, left, right. */
typedef void (*BiBinaryHandler)(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);

/* Operator codes of the binary handlers, and of the unary operators (the row of the unary
 * table). */
enum {
    BI_OP_ADD = 0,
    BI_OP_SUB = 1,
    BI_OP_MUL = 2,
    BI_OP_AND = 3,
    BI_OP_OR = 4,
    BI_OP_XOR = 5,
    BI_OP_EQV = 6,
    BI_OP_IMP = 7,
    BI_OP_LT = 8,
    BI_OP_LE = 9,
    BI_OP_GT = 10,
    BI_OP_GE = 11,
    BI_OP_EQ = 12,
    BI_OP_NE = 13
};
enum { BI_UNOP_NEGATE = 0, BI_UNOP_SGN = 1, BI_UNOP_ABS = 2, BI_UNOP_NOT = 3 };

#define BI_VARIANT_SUBTYPE_COUNT 14
#define BI_VARIANT_UNOP_COUNT 56
#define BI_VARIANT_BINOP_COUNT 1764

/* Unary handlers indexed by operator x 14 + subtype: operator 0 negation, 1 Sgn, 2 Abs,
 * 3 bitwise complement. */
BRTL_API extern BiUnaryHandler const BiVariantUnOpTable[BI_VARIANT_UNOP_COUNT];
/* Binary handlers indexed by (row x 14 + left subtype) x 14 + right subtype; the row is the
 * operator code for 0 (+), 1 (-), 2 (*), 3 (And), 4 (Or), 5 (Xor), 6 (Eqv), 7 (Imp) and 8 for
 * every comparison (codes 8 <, 9 <=, 10 >, 11 >=, 12 =, 13 <>, passed to the handler). */
BRTL_API extern BiBinaryHandler const BiVariantBinOpTable[BI_VARIANT_BINOP_COUNT];

/* ---- Division, modulus, power and rounding ---------------------------------------------------
 * Each consumes its operands (converting them in place) and overwrites *result without
 * releasing what it held; the result may be an operand's own storage. */

/* left / right: a Double, or a Single when both operands are Integers or Singles. */
BRTL_API void ZbiVariantDoDiv(VARIANT *result, VARIANT *left, VARIANT *right);
/* left \ right: integer division truncated toward zero (Integer or Long). */
BRTL_API void ZbiVariantDoIDiv(VARIANT *result, VARIANT *left, VARIANT *right);
/* left Mod right: the remainder of the truncating division, with the sign of left. */
BRTL_API void ZbiVariantDoMod(VARIANT *result, VARIANT *left, VARIANT *right);
/* left ^ right as a Double. */
BRTL_API void ZbiVariantDoExp(VARIANT *result, VARIANT *left, VARIANT *right);
/* Int: rounded toward minus infinity, keeping a numeric subtype (a Date stays a Date). */
BRTL_API void ZbiVariantDoInt(VARIANT *result, VARIANT *operand);
/* Fix: rounded toward zero, keeping a numeric subtype (a Date stays a Date). */
BRTL_API void ZbiVariantDoFix(VARIANT *result, VARIANT *operand);
/* The rounding step of CInt: half to even, keeping the numeric subtype. */
BRTL_API void ZbiVariantDoCInt(VARIANT *result, VARIANT *operand);
/* Converts v in place to an Integer or a Long (fractions truncated toward zero). */
BRTL_API void BiVariantCvtToInteger(VARIANT *v);

/* ---- Predicates and selection ----------------------------------------------------------------
 * Variants passed by value belong to the call: each one that does not become the result is
 * released. Lists of Variants run downward in memory: item k lies at first - k. */

/* -1 when v is Empty, else 0. */
BRTL_API VARIANT_BOOL ZbiBuiltIn_IsEmpty(VARIANT v);
/* -1 when v is Null, else 0. */
BRTL_API VARIANT_BOOL ZbiBuiltIn_IsNull(VARIANT v);
/* -1 when v is an Error value, else 0. */
BRTL_API VARIANT_BOOL ZbiBuiltIn_IsError(VARIANT v);
/* -1 when v is a Date or a string that reads as a date and time, else 0. */
BRTL_API VARIANT_BOOL ZbiBuiltIn_IsDate(VARIANT v);
/* The true part when the condition holds (its zero test), else the false part; moved. */
BRTL_API VARIANT *ZbiBuiltIn_IIf(VARIANT *result, VARIANT condition, VARIANT true_part,
                                 VARIANT false_part);
/* Choice number index (1 to count) of the list, moved into *result; Null when out of range. */
BRTL_API VARIANT *ZbiBuiltIn_Choose(VARIANT *result, int16_t count, int16_t index, VARIANT *first);
/* The value of the first pair (expression, value) of the list whose expression holds; Null when
 * none does. */
BRTL_API VARIANT *BiBuiltIn_Switch(VARIANT *result, int16_t count, VARIANT *first);
/* The range text ("lower:upper") of the interval of start..stop that holds number. */
BRTL_API VARIANT *ZbiBuiltIn_Partition(VARIANT *result, VARIANT number, VARIANT start, VARIANT stop,
                                       VARIANT interval);
/* The host's word for True (-1) or False (0) as a temporary; trap 51 for any other value. */
BRTL_API BiString ZbiCvtBooleanToString(int32_t b);

#if !defined(_WIN32) /* on Windows it is the system's (brtl/platform.h) */
/* VariantChangeType of the OLE subset, with flags 0: every conversion between the subtypes
 * 0-13 that the runtime asks of it. */
BRTL_API HRESULT VariantChangeType(VARIANT *dst, const VARIANT *src, uint16_t flags, VARTYPE vt);
#endif

BRTL_END_DECLS

#endif
