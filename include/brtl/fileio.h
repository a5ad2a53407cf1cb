/* brtl: file I/O: the file table, Open and Close, sequential output and input. */
#ifndef BRTL_FILEIO_H
#define BRTL_FILEIO_H

#include "host.h"
#include "types.h"

BRTL_BEGIN_DECLS

/* File modes (FileAttr with return type 1), access values and lock values of Open. */
enum {
    BI_FILE_MODE_DEFAULT = 0, /* opens as Random */
    BI_FILE_MODE_INPUT = 1,
    BI_FILE_MODE_OUTPUT = 2,
    BI_FILE_MODE_RANDOM = 4,
    BI_FILE_MODE_APPEND = 8,
    BI_FILE_MODE_BINARY = 32
};
enum {
    BI_FILE_ACCESS_DEFAULT = 0,
    BI_FILE_ACCESS_READ = 1,
    BI_FILE_ACCESS_WRITE = 2,
    BI_FILE_ACCESS_READ_WRITE = 3
};
enum {
    BI_FILE_LOCK_DEFAULT = 0, /* shared */
    BI_FILE_LOCK_SHARED = 1,
    BI_FILE_LOCK_READ = 2,  /* others may not read */
    BI_FILE_LOCK_WRITE = 3, /* others may not write */
    BI_FILE_LOCK_READ_WRITE = 4
};

/* Item tags of the Print # list. */
enum {
    BI_PRINT_COMMA = 0, /* next print zone */
    BI_PRINT_TEXT = 1,  /* followed by a BiString */
    BI_PRINT_SPC = 2,   /* followed by a 16-bit count passed as int */
    BI_PRINT_TAB = 3,   /* followed by a 16-bit column passed as int */
    BI_PRINT_END_OF_LINE = 4
};

/* ---- File table, Open and Close -------------------------------------------------------------- */

/* Open name For mode Access access lock As #number Len = record_length (-1 when not given).
 * A temporary name is freed. Traps: 5, 7, 52, 53, 55, 64, 75, 76 and the system errors. */
BRTL_API void ZbiBuiltIn_Open(BiString name, int16_t mode, int16_t access, int16_t lock,
                              int16_t number, int16_t record_length);
/* Close: count 0 closes every file; otherwise the count numbers listed (numbers that are not
 * open are skipped). A close that fails for a full disk still frees the number (trap 61). */
BRTL_API void ZbiBuiltIn_Close(int32_t count, const int16_t *numbers);
/* Reset: closes every file and restarts the directory listing. */
BRTL_API void ZbiBuiltIn_Reset(void);
/* The lowest free file number; 0 after trap 67 when all 255 are open. */
BRTL_API int16_t ZbiBuiltIn_FreeFile(void);
/* FileAttr: return type 1 gives the mode, 2 the system file descriptor; 0 after a trap. */
BRTL_API int32_t ZbiBuiltIn_FileAttr(int16_t number, int16_t return_type);
/* The host file object of file number index + 1 (null when that number was never opened or the
 * index is outside 0-254). The object belongs to the library and lives for the process. */
BRTL_API ZrHostFile *ZbiGetZrFile(int32_t index);
/* Saves the open files of the running program and empties the table for a nested run; 0 (-1
 * after trap 7 when the save record cannot be allocated: nothing was saved). */
BRTL_API int32_t ZbiPushFileIORuntimeState(void);
/* Closes the files the nested run left open and restores the saved ones. */
BRTL_API void ZbiPopFileIORuntimeState(void);
/* Raises the trap of a C runtime errno number through the file trap hook with the subject,
 * which the hook owns; returns the hook's result. */
BRTL_API int16_t ProcessFileError(int32_t crt_errno, BiString subject);

/* ---- Sequential output ----------------------------------------------------------------------- */

/* Print #number: count is the number of tags plus the number of values that follow. Each item
 * is a tag passed as int (BI_PRINT_*), then for BI_PRINT_TEXT a BiString by value (a temporary
 * is freed) and for BI_PRINT_SPC and BI_PRINT_TAB an int holding the 16-bit count. On x86-64
 * every argument after count travels as a variadic argument: ints in one slot, a BiString as the
 * 16-byte struct it is (two integer slots), exactly as a C caller passing these types sends
 * them. Every piece is written to the system before the next is formed. */
BRTL_API void ZbiBuiltIn_Print(int16_t number, int32_t count, ...);
/* Write #number: items points at an array of pointers; each item is a pointer to its 16-bit type
 * code followed by a pointer to the value (code 14: a pointer that is not read, then a pointer
 * to a char * holding a ZrMalloc copy of the text, which is freed). Temporary strings are freed
 * and Variants cleared (the statement consumes them), also after a trap. */
BRTL_API void ZbiBuiltIn_Write(int16_t number, int32_t count, void *const *items);
/* Width #number, width: the Print # line width, 0 to 255 (0 = unlimited). */
BRTL_API void ZbiBuiltIn_Width(int16_t number, int32_t width);
/* The Print # text of a number's text: the text and one space; a temporary. */
BRTL_API BiString ZbiBuiltIn_CvtPSNS(BiString text);
/* The Print # text of a Variant (" -5 " for a number, "#NULL#" for Null); clears v. */
BRTL_API BiString ZbiBuiltIn_CvtPSVS(VARIANT v);
/* The text of a Variant without number padding ("#NULL#" for Null); clears v. */
BRTL_API BiString ZbiBuiltIn_CvtPVS(VARIANT v);

/* ---- Sequential input ------------------------------------------------------------------------ */

/* Input #number: count items, each a type code passed as int (1 Variant, 4 Integer, 6 Long,
 * 7 Single, 8 Double, 9 Currency, 13 BiString variable) followed by a pointer to the target, or
 * 14 followed by the int length and a pointer to the fixed-length string's bytes. */
BRTL_API void ZbiBuiltIn_Input(int16_t number, int32_t count, ...);
/* Line Input #number: type 13 a BiString variable, 1 a Variant, any other a fixed-length string
 * of length bytes. The target is emptied first; its old value is released. */
BRTL_API void ZbiBuiltIn_LineInput(int16_t number, int32_t type, int32_t length, void *target);
/* Input(n, #number): the next n bytes; a temporary. Traps 5 for a negative n. */
BRTL_API BiString ZbiBuiltIn_Input_(int32_t n, int16_t number);
/* InputC(n, #number): the next n characters of the code page; a temporary. */
BRTL_API BiString ZbiBuiltIn_InputC_(int32_t n, int16_t number);
/* EOF(number): -1 at the end of the file, else 0. */
BRTL_API int16_t ZbiBuiltIn_EOF(int16_t number);

/* ---- Binary and random access ------------------------------------------------------------- */

/* One field of a Put or Get: kind BI_TYPE_VARIANT (a VARIANT), BI_TYPE_STRING (a BiString
 * variable), BI_TYPE_FIXED_STRING (size bytes, zero-filled before a Get reads them) or any other
 * value (size bytes at address, such as an Integer, a Double or a member of a record). */
typedef struct BiFileField {
    int32_t kind;
    void *address;
    int32_t size;
} BiFileField;
typedef struct BiFileFieldList {
    int32_t count;
    BiFileField fields[1];
} BiFileFieldList;
/* count descriptors follow count; allocate offsetof(BiFileFieldList, fields) + count *
 * sizeof(BiFileField) */

/* Put #number, position, fields: writes the fields at record (Random) or byte (Binary) position
 * when position_given, else at the next record boundary (Random) or where the file is (Binary).
 * Traps 52, 54, 75 (a file opened for reading), 63, 59 (longer than a record), 5, 7. */
BRTL_API void ZbiBuiltIn_Put(int16_t number, int32_t position, int32_t position_given,
                             const BiFileFieldList *fields);
/* Get #number, position, fields: reads the fields back; past the end of the file a field reads
 * as zeros (a Variant as Empty) without a trap. Traps as Put (75 for a file opened for writing). */
BRTL_API void ZbiBuiltIn_Get(int16_t number, int32_t position, int32_t position_given,
                             const BiFileFieldList *fields);
/* Loc: the last record read or written (Random), the byte position (Binary), the position in
 * 128-byte blocks (sequential files); -1 after trap 52, trap 6 when it does not fit 32 bits. */
BRTL_API int32_t ZbiBuiltIn_Loc(int16_t number);
/* LOF: the file's length in bytes; 0 after a trap (6 for a file of 2 GiB or more). */
BRTL_API int32_t ZbiBuiltIn_LOF(int16_t number);
/* Seek(number) with position 0: the next record or byte (counted from 1). A positive position
 * moves the file there and gives position - 1. Traps 52, 63 (negative), 75, 6. */
BRTL_API int32_t ZbiBuiltIn_Seek(int16_t number, int32_t position);
/* The Seek statement: as ZbiBuiltIn_Seek, with position 0 refused (trap 63). */
BRTL_API void ZbiBuiltIn_SeekStmt(int16_t number, int32_t position);
/* Lock #number: form 0 the whole file, 1 record (or byte) first, 2 first to last. One region per
 * file at a time (trap 70); a region another open file holds is trap 70 too. */
BRTL_API void ZbiBuiltIn_Lock(int16_t number, int32_t first, int32_t last, int16_t form);
/* Unlock #number with the arguments of the Lock it ends (trap 70 for any other region). */
BRTL_API void ZbiBuiltIn_Unlock(int16_t number, int32_t first, int32_t last, int16_t form);

/* ---- File system operations --------------------------------------------------------------- */

/* Names are BiStrings; a temporary is freed. Names over 260 bytes are trap 64. The one drive is
 * "C:", the root of the file system; names holding * ? < > | " or control characters name no
 * file. Dir, Kill and MBKill patterns match without regard to case ("*.*" is every name). */

/* FileLen: the size on disk in bytes; 0 after a trap (6 for a file of 2 GiB or more). */
BRTL_API int32_t ZbiBuiltIn_FileLen(BiString name);
/* FileDateTime: the Date of the file's last change, in local time, into *result (Empty after a
 * trap); returns result. */
BRTL_API VARIANT *ZbiBuiltIn_FileDateTime(VARIANT *result, BiString name);
/* FileCopy: copies source onto destination through two file numbers of their own (the sharing
 * rules of Open apply: trap 55). */
BRTL_API void ZbiBuiltIn_FileCopy(BiString source, BiString destination);
/* GetAttr: 1 read-only, 2 hidden (a name starting with "."), 16 directory, 32 archive. */
BRTL_API int16_t ZbiBuiltIn_GetAttr(BiString name);
/* SetAttr: 0-7 and 32-39 (others trap 5); read-only is set or cleared, the rest are the file's. */
BRTL_API void ZbiBuiltIn_SetAttr(BiString name, int16_t bits);
/* ChDrive: "C" (either case) is the one drive; any other letter is trap 68, any other first
 * character trap 5; an empty text does nothing. */
BRTL_API void ZbiBuiltIn_ChDrive(BiString drive);
/* ChDir: makes the directory current; trap 76 (subject the path) when it cannot. */
BRTL_API void ZbiBuiltIn_ChDir(BiString path);
/* MkDir: makes a directory; trap 75 when it exists or access is denied, else 76 (subject the
 * path). */
BRTL_API void ZbiBuiltIn_MkDir(BiString path);
/* RmDir: removes an empty directory; trap 75 when access is denied or it is in use, else 76
 * (a missing or non-empty directory; subject the path). */
BRTL_API void ZbiBuiltIn_RmDir(BiString path);
/* CurDir_: the current directory in the dialect's form ("C:\home\u"), a temporary. */
BRTL_API BiString ZbiBuiltIn_CurDir_(BiString drive);
/* Dir_: with continue_flag 0 the first name matching the pattern (directories only with
 * attribute 16, the empty volume label with 8); with it set, the next name of that listing.
 * The empty string when nothing more matches. A temporary. */
BRTL_API BiString ZbiBuiltIn_Dir_(BiString pattern, int32_t attributes, int32_t continue_flag);
/* Name old As new: trap 53 (old missing), 58 (new exists), 55 (either open), 74 (another disk). */
BRTL_API void ZbiBuiltIn_Name(BiString old_name, BiString new_name);
/* Kill: deletes every file the pattern matches (never a directory, never an open file: 55);
 * a pattern matching nothing is trap 53. MBKill is the same under every code page. */
BRTL_API void ZbiBuiltIn_Kill(BiString pattern);
/* The same as ZbiBuiltIn_Kill. */
BRTL_API void ZbiBuiltIn_MBKill(BiString pattern);
/* IsDir: -1 for a directory, else 0; trap 75 when the name cannot be looked up. */
BRTL_API int16_t ZbiBuiltIn_IsDir(BiString name);

/* ---- Paths ---------------------------------------------------------------------------------- */

/* Cuts a NUL-terminated path to its directory part, in place: up to its last "\" (or ":"), the
 * "." characters after it, without a final "\" that does not follow ":" ("C:\data\x.txt" gives
 * "C:\data", "C:\x.txt" gives "C:\"); a bare name gives "" ("." and ".." stay). Returns path. */
BRTL_API char *RemoveFileNameFromPath(char *path);
/* Checks the drive and the directory of a path; raises the trap when one is bad. strip: check the
 * directory part only (a bad drive is then trap 68 through the trap hook); whole: every failure
 * is trap 53 with the whole path as subject. Otherwise a bad path is trap 76 with the path. */
BRTL_API void IsPathValid(const char *path, uint8_t strip, uint8_t whole);

BRTL_END_DECLS

#endif
