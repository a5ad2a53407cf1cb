// The lists this layer keeps per open descriptor (the share table on POSIX, the stream records on
// Windows): singly linked records, each with a `descriptor` and a `next`, found and taken out by
// descriptor.
#pragma once

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

} // namespace brtl::platform
