// Random access to the streams of open files in 64-bit positions, and the non-blocking region
// locks of the runtime's _locking on the system's byte-range locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace brtl::platform {

// fseek(SEEK_SET) to a byte offset; false with errno set.
bool seek_to(FILE *stream, int64_t offset);
// ftell: the byte offset of the stream, or -1 with errno set.
int64_t tell(FILE *stream);
// The length of the stream's file: the end offset, the position left where it was; -1 with
// errno set.
int64_t stream_length(FILE *stream);

// fread of up to n bytes; the number read. A short count is the end of the file unless
// read_error() then tells otherwise. A read interrupted by a signal goes on with what is left.
size_t read_bytes(FILE *stream, void *out, size_t n);
// True (once) when the stream's last read failed for another reason than the end of the file;
// errno then holds the system's reason and the stream's error flag is cleared. The end flag of a
// read that reached the end stays set, as EOF of a Random or Binary file reads it.
bool read_error(FILE *stream);

// _locking(_LK_NBLCK / _LK_UNLCK) of length bytes from the byte offset `from` (length 0: from
// there to the end of the file, however long it grows). The lock belongs to the open file, so
// that another open of the same file conflicts with it, in this process or another. False with
// errno set: EACCES when another open file holds a lock on part of the region.
bool lock_region(int descriptor, int64_t from, int64_t length);
bool unlock_region(int descriptor, int64_t from, int64_t length);

} // namespace brtl::platform
