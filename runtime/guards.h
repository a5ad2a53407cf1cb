// The guard for a host library buffer that a builtin owns while a hook may leave it by an
// exception.
#pragma once

#include <memory>

#include "brtl/host.h"

namespace brtl::runtime {

struct ZrDeleter {
    void operator()(void *block) const { ZrFree(block); }
};

// A ZrMalloc block (a conversion buffer, a copy) freed with ZrFree.
template <typename T> using ZrBuffer = std::unique_ptr<T, ZrDeleter>;

} // namespace brtl::runtime
