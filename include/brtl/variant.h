/* brtl: the Variant engine: clear and copy, conversions, the operator tables, division,
 * modulus, power and rounding, the predicates and the selection builtins. */
#ifndef BRTL_VARIANT_H
#define BRTL_VARIANT_H

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Clear, copy and conversions --------------------------------------------------------------- */

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

/* VariantChangeType of the OLE subset, with flags 0: every conversion between the subtypes
 * 0-13 that the runtime asks of it. */
BRTL_API HRESULT VariantChangeType(VARIANT *dst, const VARIANT *src, uint16_t flags, VARTYPE vt);

BRTL_END_DECLS

#endif
