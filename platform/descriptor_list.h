// The lists this layer keeps per open descriptor (the share table on POSIX, the stream records on
// Windows): singly linked records, each with a `descriptor`, a `next` and the `buffer` its stream
// reads and writes through, found and taken out by descriptor.
#pragma once

#include <cstdio>

#include "platform/memory.h"

namespace brtl::platform {

// The record of the descriptor, or null.
template <typename Entry> Entry *find_by_descriptor(Entry *head, int descriptor) {
    for (Entry *e = head; e != nullptr; e = e->next)
        if (e->descriptor == descriptor) return e;
    return nullptr;
}

// Takes the record of the descriptor out of the list and returns it (null when there is none).
template <typename Entry> Entry *unlink_by_descriptor(Entry *&head, int descriptor) {
    for (Entry **link = &head; *link != nullptr; link = &(*link)->next) {
        if ((*link)->descriptor == descriptor) {
            Entry *e = *link;
            *link = e->next;
            return e;
        }
    }
    return nullptr;
}

// Gives the stream a full buffer of size bytes from this layer's allocator, kept in the entry so
// that it goes when the descriptor closes; without an entry, or memory, the C library buffers it.
template <typename Entry> void buffer_stream(FILE *stream, Entry *entry, size_t size) {
    void *buffer = entry != nullptr && entry->buffer == nullptr ? allocate(size) : nullptr;
    if (buffer != nullptr && setvbuf(stream, static_cast<char *>(buffer), _IOFBF, size) == 0) {
        entry->buffer = buffer;
        return;
    }
    release(buffer);
    setvbuf(stream, nullptr, _IOFBF, size);
}

} // namespace brtl::platform
