// The state of the Dir listing, process-wide: whether a listing is in progress, its search
// attributes and its directory search.
#pragma once

#include <cstdint>

#include "brtl/types.h"
#include "platform/file_system.h"

namespace brtl::fileio {

struct DirListing {
    bool none = false; // no listing in progress
    int32_t attributes = 0;
    platform::DirectorySearch *search = nullptr;

    // Ends the listing in progress, closing its search.
    void end() {
        platform::find_close(search);
        search = nullptr;
        none = true;
    }
};

DirListing &dir_listing();
// Closes the search of the listing in progress (Reset and the end of a nested run restart the
// listing; its search is not kept open until the next Dir).
void end_dir_listing();

// Dir_(pattern, attributes, continue flag): the next name of the listing, a temporary.
BiString list_directory(BiString pattern, int32_t attributes, int32_t continue_flag);

} // namespace brtl::fileio
