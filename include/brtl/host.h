/* brtl: the host support library: memory, text helpers, formatted output, host file objects,
 * process exit and the two dialogs. The library calls these for all its memory and dialogs; a
 * host that passes temporaries to the library allocates them with ZrMalloc. */
#ifndef BRTL_HOST_H
#define BRTL_HOST_H

#include <stdio.h>

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Memory: every block is freed with ZrFree ------------------------------------------------ */

/* A block of bytes (a block even for 0 bytes); null when memory runs out. */
BRTL_API void *ZrMalloc(size_t bytes);
/* Frees a block of any of these functions; null is ignored. */
BRTL_API void ZrFree(void *block);
/* A zero-filled block of count elements of size bytes; null when memory runs out or on overflow. */
BRTL_API void *ZrCalloc(size_t count, size_t size);
/* Resizes a block (null: a new one); null when memory runs out, the old block then kept. */
BRTL_API void *ZrRealloc(void *block, size_t bytes);
/* ZrMalloc; the pool named a heap of the original host and is ignored. */
BRTL_API void *ZrMemAlloc(size_t bytes, int32_t pool);
/* ZrCalloc; the pool is ignored. */
BRTL_API void *ZrMemCalloc(size_t count, size_t size, int32_t pool);
/* ZrRealloc; the pool is ignored. */
BRTL_API void *ZrMemRealloc(void *block, size_t bytes, int32_t pool);

/* ---- Formatted output ------------------------------------------------------------------------ */

/* sprintf into buffer, which the caller sizes; numbers are printed by the library's one
 * number-text rule. Returns the length written. */
BRTL_API int32_t ZrSprintf(char *buffer, const char *format, ...);
/* As ZrSprintf with a buffer size: writes at most size bytes, NUL included; returns the length the
 * whole text needs. */
BRTL_API int32_t ZrSnprintf(char *buffer, size_t size, const char *format, ...);
/* Formatted write to a stream; the number of bytes written, or -1 on a write error. */
BRTL_API int32_t ZrFprintf(FILE *stream, const char *format, ...);

/* ---- Text helpers ---------------------------------------------------------------------------- */

/* A fresh copy (ZrMalloc) of text; null when memory runs out. */
BRTL_API char *ZrStrCopy(const char *text);
/* The number of bytes of text before its NUL. */
BRTL_API uint32_t ZrStrLen(const char *text);
/* The number of characters of text in the current code page. */
BRTL_API uint32_t ZrStrCharLen(const char *text);
/* Byte order: negative, 0 or positive. */
BRTL_API int32_t ZrStrCmp(const char *a, const char *b);
/* Case-blind comparison: 0 when equal. */
BRTL_API int32_t ZrStrICmp(const char *a, const char *b);
/* Order of the code page: negative, 0 or positive. */
BRTL_API int32_t ZrStrColl(const char *a, const char *b);
/* Nonzero when the first count bytes match, case-blind. */
BRTL_API int32_t ZrStrNIEqual(const char *a, const char *b, uint32_t count);
/* The first byte ch of text, or null. */
BRTL_API char *ZrStrChr(const char *text, int32_t ch);
/* The last byte ch of text, or null. */
BRTL_API char *ZrStrRChr(const char *text, int32_t ch);
/* The first byte of text that is one of the bytes of set, or null. */
BRTL_API char *ZrStrPBrk(const char *text, const char *set);
/* Fresh NUL-terminated UTF-16 text of a multibyte text (free with ZrFree); null on no memory. */
BRTL_API OLECHAR *ZrCharToWide(const char *text);
/* The same as ZrCharToWide. */
BRTL_API OLECHAR *ZrCreateWideFromChar(const char *text);
/* Fresh multibyte text of a NUL-terminated UTF-16 text (free with ZrFree); null on no memory. */
BRTL_API char *ZrWideToChar(const OLECHAR *text);
/* The same as ZrWideToChar. */
BRTL_API char *ZrCreateCharFromWide(const OLECHAR *text);
/* Fills total bytes of buffer by repeating the pattern of pattern_length bytes. */
BRTL_API void ZrPatternMemSet(void *buffer, const void *pattern, uint32_t pattern_length,
                              uint32_t total);
/* The host's replacement routine of that name, or null. */
BRTL_API void *ZrGetIntStrProc(const char *name);
/* Registers (or with null removes) a replacement routine for ZrGetIntStrProc. */
BRTL_API void brtl_set_int_str_proc(const char *name, void *procedure);

/* ---- Host file objects ----------------------------------------------------------------------- */

typedef struct ZrHostFile ZrHostFile;
/* A host file object for a newly opened stream; null when memory runs out. */
BRTL_API ZrHostFile *ZrFileCreate(FILE *stream);
/* Re-attaches the object to another stream. */
BRTL_API void ZrFileOpen(ZrHostFile *file, FILE *stream);
/* Detaches the object from its stream at close; the object stays for the next open. */
BRTL_API void ZrFileClose(ZrHostFile *file);
/* The stream an object is attached to (null when detached). */
BRTL_API FILE *ZrFileStream(const ZrHostFile *file);

/* ---- Process exit and dialogs ---------------------------------------------------------------- */

/* Ends the process with the exit code. */
BRTL_API void ZosExit(int32_t code);

typedef int16_t (*ZkMsgDialogProc)(void *container, const char *message, int16_t buttons,
                                   const char *title);
typedef const char *(*ZkSelDialogProc)(void *container, const char *prompt, const char *title,
                                       const char *default_text, int16_t x, int16_t y);

/* The message dialog: the code of the button chosen (1 OK, 2 Cancel, 3 Abort, 4 Retry,
 * 5 Ignore, 6 Yes, 7 No). */
BRTL_API int16_t ZkMsgDialog(void *container, const char *message, int16_t buttons,
                             const char *title);
/* The input dialog: the text entered, owned by the host library until the next call, or null
 * when the user cancels. */
BRTL_API const char *ZkSelDialog(void *container, const char *prompt, const char *title,
                                 const char *default_text, int16_t x, int16_t y);
/* Replaces the two dialogs; a null pointer puts back that console default (stderr and stdin). */
BRTL_API void brtl_set_dialogs(ZkMsgDialogProc message, ZkSelDialogProc select);

/* ---- Default constructors of host classes ---------------------------------------------------- */

/* Construct a layout value at object: two single-precision floats, the "unset" marker
 * -3.4028234663852886e+37 (bits 0xFDCCCCCC) and the default 0 (left, top), 1142 (width) or 492
 * (height). */
/* The left position, default 0. */
BRTL_API void ZkLeft(void *object);
/* The top position, default 0. */
BRTL_API void ZkTop(void *object);
/* The width, default 1142. */
BRTL_API void ZkWidth(void *object);
/* The height, default 492. */
BRTL_API void ZkHeight(void *object);
/* Constructs an empty error list at object: the 32-bit integer -1. */
BRTL_API void ZrErrorList(void *object);

BRTL_END_DECLS

#endif
