/* brtl: the platform substitutes a host needs: the OLE Automation string and Variant subset,
 * and the selection of the multibyte code page. */
#ifndef BRTL_PLATFORM_H
#define BRTL_PLATFORM_H

#include "types.h"

BRTL_BEGIN_DECLS

#if defined(_WIN32)
#if defined(BRTL_OWN_OLE_TYPES)
/* Inside the library on Windows the OLE subset is the system's (oleaut32). The library reaches
 * it through wrappers of its platform layer with its own types, which count and can fail each
 * allocation as every other allocation of the library is counted. A host uses <oleauto.h>. */
#define SysAllocString brtl_SysAllocString
#define SysAllocStringLen brtl_SysAllocStringLen
#define SysFreeString brtl_SysFreeString
#define SysStringLen brtl_SysStringLen
#define VariantInit brtl_VariantInit
#define VariantClear brtl_VariantClear
#define VariantCopy brtl_VariantCopy
#define VariantCopyInd brtl_VariantCopyInd
#define VariantChangeType brtl_VariantChangeType
BSTR SysAllocString(const OLECHAR *text);
BSTR SysAllocStringLen(const OLECHAR *text, uint32_t len);
void SysFreeString(BSTR b);
uint32_t SysStringLen(BSTR b);
void VariantInit(VARIANT *v);
HRESULT VariantClear(VARIANT *v);
HRESULT VariantCopy(VARIANT *dst, const VARIANT *src);
HRESULT VariantCopyInd(VARIANT *dst, const VARIANT *src);
HRESULT VariantChangeType(VARIANT *dst, const VARIANT *src, uint16_t flags, VARTYPE vt);
#endif
#else
/* A fresh BSTR copy of the NUL-terminated UTF-16 text; null for a null argument or no memory. */
BRTL_API BSTR SysAllocString(const OLECHAR *text);
/* A fresh BSTR of len units copied from text (uninitialised when text is null); null when
 * memory runs out. */
BRTL_API BSTR SysAllocStringLen(const OLECHAR *text, uint32_t len);
/* Frees a BSTR; null is ignored. */
BRTL_API void SysFreeString(BSTR b);
/* The number of units of a BSTR (0 for null). */
BRTL_API uint32_t SysStringLen(BSTR b);

/* Makes v VT_EMPTY without releasing anything. */
BRTL_API void VariantInit(VARIANT *v);
/* Releases what v owns (its BSTR, its object reference) and makes it VT_EMPTY. */
BRTL_API HRESULT VariantClear(VARIANT *v);
/* Clears *dst, then copies *src into it with its own BSTR copy or object reference. */
BRTL_API HRESULT VariantCopy(VARIANT *dst, const VARIANT *src);
/* As VariantCopy, but a VT_BYREF source is copied as the value it refers to. */
BRTL_API HRESULT VariantCopyInd(VARIANT *dst, const VARIANT *src);
#endif

/* Selects the multibyte code page: "C" (single-byte) or "Ja_JP" (double-byte code page 932).
 * Returns 0 on success, -1 for an unknown name (the code page is then unchanged). */
BRTL_API int32_t brtl_setlocale(const char *name);
/* The name of the code page in force. */
BRTL_API const char *brtl_getlocale(void);

/* ---- Profile -------------------------------------------------------------------------------- */

/* Names the profile file to read; null goes back to $BRTL_PROFILE, else
 * $XDG_CONFIG_HOME/brtl/win.ini, else ~/.config/brtl/win.ini. Settings already read keep their
 * values. The path is copied. */
BRTL_API void brtl_set_profile_path(const char *path);

BRTL_END_DECLS

#endif
