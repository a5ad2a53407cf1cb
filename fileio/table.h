// The file table as the file builtins use it: the open-file record of each file number, the
// file number check, the traps of the file builtins and the piece writer of sequential output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "brtl/types.h"

namespace brtl::fileio {

// File modes, as FileAttr reports them.
enum Mode : int32_t {
    kModeDefault = 0,
    kModeInput = 1,
    kModeOutput = 2,
    kModeRandom = 4,
    kModeAppend = 8,
    kModeBinary = 32
};

// Access after defaulting: 0 not given, 1 Read, 2 Write, 3 Read Write.
enum Access : int32_t { kAccessNone = 0, kAccessRead = 1, kAccessWrite = 2, kAccessReadWrite = 3 };

constexpr int kFileNumbers = 255;

// The open-file record of one file number, owned by the file table (or by a save record while a
// nested run has the table).
struct FileRecord {
    int32_t mode;
    int32_t access;
    int32_t share;         // the share mode the file was opened with
    int32_t record_length; // bytes per record; the stream buffer size of sequential files
    int32_t width;         // Print # line width, 0 = unlimited
    int32_t column;        // characters on the current output line
    char *path;            // the full path, NUL-terminated (ZrMalloc)
    FILE *stream;
    int32_t descriptor;
    int64_t lock_start; // -1 when no region is locked; byte offsets from Lock
    int64_t lock_end;
};

// The record of an open file number; null when the number is outside 1-255 or not open.
FileRecord *find_record(int32_t number);
// The file number check of every file builtin: the record, or null after trap 52 through the
// file trap hook with the number (16-bit, sign-extended) in decimal as subject.
FileRecord *checked_record(int16_t number);

// The file number and mode check of the statements that need one of some modes: the record, or
// null after trap 52 (as checked_record) or trap 54 when the file's mode is not one of `modes`
// (a set of Mode bits).
FileRecord *record_in_mode(int16_t number, int32_t modes);

// The directory-listing restart flag: set by Reset and by the end of a nested run; Dir reads and
// clears it.
bool &dir_restart_flag();

// A subject for the file trap hook: a fresh temporary copy of the text, or the empty string when
// memory runs out (the trap itself must still be raised).
BiString subject_of(const char *text, size_t length);
BiString subject_of(const char *text);
// The decimal text of a file number as a subject.
BiString number_subject(int32_t number);

// ProcessFileError with the dialect's errno number of the system's errno value and the record's
// path as subject.
void raise_system_error(const FileRecord &record, int system_errno);

// The piece writer of Print # and Put: writes the bytes to the record's stream and flushes them
// to the system at once. A short write or a failed flush goes to ProcessFileError with the path
// as subject; false then.
bool write_piece(FileRecord &record, const char *bytes, size_t n);

// The table itself, for Open.
namespace table {
// The 255 slots (slot k holds file number k + 1, or null).
FileRecord *const *slots();
// Puts the record of a newly opened file in its number's slot, which the table then owns.
void store(int32_t number, FileRecord *record);
// Attaches the number's host file object to the stream, making the object at the number's first
// open; false when it cannot be made (no memory).
bool attach_host_file(int32_t number, FILE *stream);
} // namespace table

} // namespace brtl::fileio
