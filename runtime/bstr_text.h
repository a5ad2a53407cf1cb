// The multibyte text of a BSTR for reading, kept in a buffer of the reader's own: inline for
// short texts, so that the hot paths that read a string Variant allocate nothing.
#pragma once

#include <cstdint>

#include "brtl/types.h"
#include "runtime/guards.h"

namespace brtl::runtime {

class BstrText {
  public:
    // Converts b (null is the empty text); ok() is false when memory ran out.
    explicit BstrText(BSTR b);
    BstrText(const BstrText &) = delete;
    BstrText &operator=(const BstrText &) = delete;

    bool ok() const { return data_ != nullptr; }
    const char *data() const { return data_; }
    uint32_t size() const { return size_; }

  private:
    char local_[256];
    ZrBuffer<char> heap_;
    char *data_ = nullptr;
    uint32_t size_ = 0;
};

} // namespace brtl::runtime
