// The system's converter of code page 932, asked one character at a time while the code page's
// tables are built: iconv on POSIX, MultiByteToWideChar and WideCharToMultiByte on Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::platform {

class SystemCp932 {
  public:
    SystemCp932();
    SystemCp932(const SystemCp932 &) = delete;
    SystemCp932 &operator=(const SystemCp932 &) = delete;
    ~SystemCp932();

    // False when the system has no converter for the code page.
    bool usable() const;
    // The UTF-16 unit of one character of n bytes (1 or 2); 0 when the bytes do not convert to
    // exactly one unit.
    uint16_t unit(const unsigned char *bytes, size_t n);
    // The byte form of one unit (a lead byte in the high byte of a double-byte form); 0 when the
    // code page has none.
    uint16_t bytes(uint16_t unit);

  private:
    void *to_wide_;
    void *to_multi_;
};

} // namespace brtl::platform
