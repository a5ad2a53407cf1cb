/* brtl: the types shared by every part of the interface.
 *
 * Valid C11 and C++20. Every export has C linkage; a BiString and a Variant result are passed
 * exactly as the declarations below say. */
#ifndef BRTL_TYPES_H
#define BRTL_TYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define BRTL_EXTERN_C extern "C"
#define BRTL_BEGIN_DECLS extern "C" {
#define BRTL_END_DECLS }
#else
#define BRTL_EXTERN_C
#define BRTL_BEGIN_DECLS
#define BRTL_END_DECLS
#endif

/* Every export uses the C declarations' default calling convention (cdecl on 32-bit x86). On
 * Windows the DLL's module-definition file names the exports; a program that links the DLL
 * imports them, one that links the library's own archive (BRTL_STATIC) takes them as they are. */
#if defined(_WIN32)
#if defined(BRTL_STATIC)
#define BRTL_API
#else
#define BRTL_API __declspec(dllimport)
#endif
#else
#define BRTL_API __attribute__((visibility("default")))
#endif

BRTL_BEGIN_DECLS

/* ---- Runtime strings ------------------------------------------------------------------------ */

/* The runtime string: multibyte text NUL-terminated at data + length. Bits 0-30 of length_word
 * are the byte length, bit 31 the temporary flag: a temporary belongs to the function that
 * receives it, which frees it after its last use (or returns it). Every empty string (length 0)
 * points at a shared static empty text and is never freed. */
typedef struct BiString {
    char *data;
    uint32_t length_word;
} BiString;

#define BI_STRING_TEMP_FLAG 0x80000000u
#define BI_STRING_LENGTH_MASK 0x7FFFFFFFu

/* Byte length of s (bit 31 removed). */
static inline uint32_t BiStringLength(BiString s) {
    return s.length_word & BI_STRING_LENGTH_MASK;
}
/* Nonzero when s is a temporary (bit 31 set). */
static inline int BiStringIsTemporary(BiString s) {
    return (s.length_word & BI_STRING_TEMP_FLAG) != 0;
}

/* ---- OLE Automation subset ------------------------------------------------------------------ */

#if defined(_WIN32) && !defined(BRTL_OWN_OLE_TYPES)

BRTL_END_DECLS
/* A Windows host passes the system's own Variants and BSTRs. */
#include <windows.h>

#include <oleauto.h> /* after windows.h, whose types it uses */
BRTL_BEGIN_DECLS

enum { VT_HOST_OBJECT = 15 /* the host's object subtype with a reference count at byte 28 */ };

#else

/* The library's own sources declare the same layout with fixed-width members. */
typedef uint16_t OLECHAR; /* one UTF-16 unit; never wchar_t, which is 32-bit here */
typedef OLECHAR *BSTR;    /* preceded by a 32-bit byte count, followed by a NUL unit */
typedef uint16_t VARTYPE;
typedef int32_t HRESULT;
typedef int16_t VARIANT_BOOL;
typedef int32_t SCODE;
typedef double DATE;

#define S_OK ((HRESULT)0)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008u)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005u)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000Au)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define E_FAIL ((HRESULT)0x80004005u)

enum {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_HOST_OBJECT = 15, /* the host's object subtype with a reference count at byte 28 */
    VT_BYREF = 0x4000
};

/* The calling convention of COM methods: __stdcall on 32-bit Windows, the default elsewhere. */
#if defined(_WIN32)
#define BRTL_COM_CALL __stdcall
#else
#define BRTL_COM_CALL
#endif

/* An object behind VT_DISPATCH or VT_UNKNOWN starts with a pointer to this table, as a COM
 * object does: VariantCopy takes a reference with AddRef, VariantClear drops it with Release. */
typedef struct BrtlUnknownVtbl {
    HRESULT(BRTL_COM_CALL *QueryInterface)(void *self, const void *iid, void **out);
    uint32_t(BRTL_COM_CALL *AddRef)(void *self);
    uint32_t(BRTL_COM_CALL *Release)(void *self);
} BrtlUnknownVtbl;

typedef struct BrtlUnknown {
    const BrtlUnknownVtbl *vtbl;
} BrtlUnknown;

/* The 16-byte OLE VARIANT: the type word, three reserved words, an 8-byte value. */
typedef struct tagVARIANT {
    VARTYPE vt;
    uint16_t wReserved1;
    uint16_t wReserved2;
    uint16_t wReserved3;
    union {
        int16_t iVal;
        int32_t lVal;
        float fltVal;
        double dblVal;
        int64_t cyVal; /* Currency: a count of ten-thousandths */
        DATE date;
        BSTR bstrVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BrtlUnknown *pdispVal;
        BrtlUnknown *punkVal;
        void *byref;
        int16_t *piVal;
        int32_t *plVal;
        float *pfltVal;
        double *pdblVal;
        int64_t *pcyVal;
        DATE *pdate;
        BSTR *pbstrVal;
        VARIANT_BOOL *pboolVal;
        SCODE *pscode;
        struct tagVARIANT *pvarVal;
        BrtlUnknown **ppdispVal;
        BrtlUnknown **ppunkVal;
#if defined(_WIN64)
        void *record[2]; /* the system's record member: 64-bit Windows Variants are 24 bytes */
#endif
    };
} VARIANT;

#endif /* the library's own OLE types */

/* ---- Type codes of typed storage ---------------------------------------------------------------
 */

enum {
    BI_TYPE_VARIANT = 1,
    BI_TYPE_INTEGER = 4,
    BI_TYPE_LONG32 = 5,
    BI_TYPE_LONG = 6,
    BI_TYPE_SINGLE = 7,
    BI_TYPE_DOUBLE = 8,
    BI_TYPE_CURRENCY = 9,
    BI_TYPE_OBJECT = 12,
    BI_TYPE_STRING = 13,
    BI_TYPE_FIXED_STRING = 14,
    BI_TYPE_TEXT = 15
};

/* ---- Trap numbers ---------------------------------------------------------------------------- */

/* Every trap number the library raises, in numeric order. */
enum {
    BI_TRAP_ILLEGAL_CALL = 5,
    BI_TRAP_OVERFLOW = 6,
    BI_TRAP_OUT_OF_MEMORY = 7,
    BI_TRAP_UNDERFLOW = 8,
    BI_TRAP_DIVISION_BY_ZERO = 11,
    BI_TRAP_TYPE_MISMATCH = 13,
    BI_TRAP_OUT_OF_STRING_SPACE = 14,
    BI_TRAP_ASSERTION = 17, /* also the file error of an unmapped errno value */
    BI_TRAP_UNSUPPORTED = 51,
    BI_TRAP_BAD_FILE_NAME_OR_NUMBER = 52,
    BI_TRAP_FILE_NOT_FOUND = 53,
    BI_TRAP_BAD_FILE_MODE = 54,
    BI_TRAP_FILE_ALREADY_OPEN = 55,
    BI_TRAP_DEVICE_IO_ERROR = 57,
    BI_TRAP_FILE_ALREADY_EXISTS = 58,
    BI_TRAP_BAD_RECORD_LENGTH = 59,
    BI_TRAP_DISK_FULL = 61,
    BI_TRAP_INPUT_PAST_END = 62,
    BI_TRAP_BAD_RECORD_NUMBER = 63,
    BI_TRAP_BAD_FILE_NAME = 64,
    BI_TRAP_TOO_MANY_FILES = 67,
    BI_TRAP_DEVICE_UNAVAILABLE = 68,
    BI_TRAP_PERMISSION_DENIED = 70,
    BI_TRAP_DISK_NOT_READY = 71,
    BI_TRAP_RENAME_ACROSS_DISKS = 74,
    BI_TRAP_PATH_FILE_ACCESS = 75,
    BI_TRAP_PATH_NOT_FOUND = 76,
    BI_TRAP_PATTERN = 93,
    BI_TRAP_INVALID_USE_OF_NULL = 94,
    BI_TRAP_BAD_FILE_FORMAT = 321
};

/* ---- Host hooks -------------------------------------------------------------------------------
 */

/* Slot 0: the text of an id (a trap number, or a negative user-interface word); may be null. */
typedef const char *(*BiTextHook)(int32_t id);
/* Slots 1 and 3: raise a general or numeric trap. May return, or leave by a C++ exception. */
typedef int16_t (*BiTrapHook)(int32_t trap);
/* Slot 2: raise a file trap; the subject (a temporary or empty BiString) belongs to the hook. */
typedef int16_t (*BiFileTrapHook)(int32_t trap, BiString subject);
/* Slot 4: a broken internal consistency check. */
typedef void (*BiFatalHook)(int32_t code, int32_t line, const char *source);
/* Slots 5, 6 and 7: the strict-limits, first-value-skip and text-compare questions. */
typedef uint8_t (*BiQueryHook)(void);

/* ---- Array descriptor ----------------------------------------------------------------------- */

/* Laid out by translated code; the runtime uses only element_size, byte_size and data. */
typedef struct BiArrayDesc {
    uint32_t reserved0;
    uint16_t element_size;
    uint16_t reserved6;
    uint32_t byte_size;
    uint32_t reserved12;
    void *data;
} BiArrayDesc;

/* One cell of the format engine's character stack (see PushStringOnStack). */
typedef struct BiFormatStackCell {
    char ch;
    struct BiFormatStackCell *next;
} BiFormatStackCell;

BRTL_END_DECLS

#endif
