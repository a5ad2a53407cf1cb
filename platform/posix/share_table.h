// The share table: every descriptor this layer opened, with the file it is on, what it may do
// and what it denies to later opens, and the stream buffer and line block it owns. The streams
// of platform/files.h find their entry here by descriptor.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace brtl::platform {

constexpr int kShareRead = 1;
constexpr int kShareWrite = 2;

struct ShareEntry {
    int descriptor;
    dev_t device;
    ino_t inode;
    int access; // kShareRead | kShareWrite
    int deny;
    void *buffer;
    char *line; // the last line read_line gave (a C library block)
    size_t line_capacity;
    ShareEntry *next;
};

// The entry of a descriptor, or null.
ShareEntry *find_entry(int descriptor);
// Unlinks the entry of a descriptor and returns it (null when there is none).
ShareEntry *unlink_entry(int descriptor);

} // namespace brtl::platform
