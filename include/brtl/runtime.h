/* brtl: the runtime frame: lifecycle and host hooks, traps, runtime strings and character
 * conversion, dynamic array storage, the message and input dialogs. */
#ifndef BRTL_RUNTIME_H
#define BRTL_RUNTIME_H

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Lifecycle, hooks and traps ------------------------------------------------------------- */

/* Installs the host hooks in slot order 0-7; a null pointer leaves that slot as it is. */
BRTL_API void ZbiInitBasicRTL(BiTextHook text, BiTrapHook trap, BiFileTrapHook file_trap,
                              BiTrapHook numeric_trap, BiFatalHook fatal, BiQueryHook strict_limits,
                              BiQueryHook skip_first_value, BiQueryHook text_compare);
/* Puts the library's eight default hooks back. Closes and frees nothing. */
BRTL_API void ZbiTermBasicRTL(void);
/* Maps an OLE result code to a trap number (0 for S_OK). */
BRTL_API int32_t ZbiCvtHResultToTrapNo(HRESULT hr);
/* The text of a trap number without its "%s" placeholders; a temporary. */
BRTL_API BiString ZbiBuiltIn_Error_(int32_t trap);
/* Writes an Error Variant of the code into *result and returns result. */
BRTL_API VARIANT *ZbiBuiltIn_CVErr(VARIANT *result, int32_t code);
/* Debug.Assert: count 16-bit Booleans follow; the first False writes the message to stderr and
 * raises trap 17. Frees the two strings by the freeing rule. The count is a 16-bit value; it is
 * declared as a 32-bit int (the same register) because the last named parameter before a
 * variable argument list must not be a type that undergoes promotion. */
BRTL_API void ZbiBuiltIn_Assert(BiString message, BiString source, uint32_t line, int32_t count,
                                ...);
/* The lowest address of the calling thread's stack. */
BRTL_API void *ZbiGetThreadStackBase(void);
/* A monotonic millisecond count (wraps at 2^32). */
BRTL_API uint32_t ZbiGetTimeInMillisecond(void);
/* Passes text to the debugger output: standard error when BRTL_DEBUG_OUTPUT is "1" or "stderr",
 * the file it names otherwise, nowhere when it is unset or empty. */
BRTL_API void ZkWriteStringToOutputWindow(const char *text);

/* ---- Runtime strings and character conversion ------------------------------------------------ */

/* A string with room for n + 1 bytes, flag clear, contents uninitialised; trap 7 when memory
 * runs out (the data pointer is then null). */
BRTL_API BiString ZbiAllocBiString(uint32_t n);
/* Frees s.data unconditionally (never pass the shared empty string). */
BRTL_API void ZbiFreeBiString(BiString s);
/* A copy of s with the same length word (flag included); s is not freed. */
BRTL_API BiString ZbiDuplicateString(BiString s);
/* Multibyte text of n bytes to a fresh NUL-terminated UTF-16 buffer (free with ZrFree); *count
 * receives the number of units. Null when memory runs out. */
BRTL_API OLECHAR *ZbiCharToWide(const char *p, uint32_t n, uint32_t *count);
/* As ZbiCharToWide; n = 0 gives a fresh buffer holding one NUL unit. */
BRTL_API OLECHAR *ZbiCharToOle(const char *p, uint32_t n, uint32_t *count);
/* n UTF-16 units to a fresh NUL-terminated multibyte buffer (free with ZrFree); *bytes receives
 * its byte length. Null when memory runs out. */
BRTL_API char *ZbiWideToChar(const OLECHAR *w, uint32_t n, uint32_t *bytes);
/* ZbiWideToChar of the whole BSTR. */
BRTL_API char *ZbiOleToChar(BSTR b, uint32_t *bytes);
/* The number of characters that start within the first n bytes of p. */
BRTL_API uint32_t ZbiStrCharLen(const char *p, uint32_t n);
/* The bytes of the whole characters that cover the first n bytes of p. */
BRTL_API uint32_t ZbiStrByteLen(const char *p, uint32_t n);
/* The byte length of the character at p (a NUL counts 1). */
BRTL_API int32_t ZbiCharLen(const char *p);
/* Runtime string to a VT_BSTR Variant in *result; s is freed by the freeing rule. */
BRTL_API VARIANT *ZbiEvalCvtSV(VARIANT *result, BiString s);
/* Variant (owned by the call) to a temporary runtime string; clears v when clear is nonzero. */
BRTL_API BiString ZbiEvalCvtVS(VARIANT v, uint8_t clear);
/* Measures a run of one repeated letter (case-blind) from *pp, at most max long and not past
 * end; moves *pp past it and returns its length. */
BRTL_API int32_t CountLetter(const char **pp, const char *end, uint32_t max);
/* Pushes the characters of text on the format engine's character stack, last character on top;
 * cells come from ZrMalloc and whoever pops them frees them. */
BRTL_API BiFormatStackCell *PushStringOnStack(const char *text, BiFormatStackCell *top);

/* ---- Dynamic array storage ------------------------------------------------------------------- */

/* Allocates byte_size zeroed bytes of element storage; trap 7 when memory runs out. */
BRTL_API void ZbiAllocArrayData(BiArrayDesc *desc);
/* Resizes the storage to new_size bytes, zeroing what grows; trap 7 when memory runs out. */
BRTL_API void ZbiReallocArrayData(BiArrayDesc *desc, uint32_t new_size);
/* Frees the storage (if any) and nulls the pointer. */
BRTL_API void ZbiFreeArrayData(BiArrayDesc *desc);
/* Zeroes the byte_size bytes of the storage. */
BRTL_API void ZbiClearArray(BiArrayDesc *desc);
/* memcpy of count bytes. */
BRTL_API void ZbiCopyArrayData(void *destination, const void *source, uint32_t count);
/* The address of element index (no bounds check). */
BRTL_API void *ZbiArrayElementAddr(const BiArrayDesc *desc, uint32_t index);

/* ---- Dialogs ----------------------------------------------------------------------------------
 */

/* MsgBox: shows the host's message dialog; frees both strings by the freeing rule. */
BRTL_API int16_t ZbiBuiltIn_MsgBox(BiString message, int16_t buttons, BiString title);
/* InputBox: the host's answer as a temporary, or the empty string when it cancels or answers
 * nothing; frees the three strings by the freeing rule. */
BRTL_API BiString ZbiBuiltIn_InputBox_(BiString prompt, BiString title, BiString default_text,
                                       int16_t x, int16_t y);

/* ---- Per-run reset and nested runs ----------------------------------------------------------- */

/* Before each program run: closes every file and reseeds the random generator with 1; returns
 * the generator's first number after the seed (callers ignore it). */
BRTL_API int32_t ZbiReset_Rtl(void);
/* Before a nested run: saves the open files of the running program (see
 * ZbiPushFileIORuntimeState); 0. */
BRTL_API int32_t ZbiPushRuntimeEnvironment(void);
/* After a nested run: closes its files and restores those of the program around it. */
BRTL_API void ZbiPopRuntimeEnvironment(void);

BRTL_END_DECLS

#endif
