// The formatting engine behind ZrSprintf, ZrSnprintf and ZrFprintf.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

namespace brtl::host {

class Sink {
  public:
    virtual void write(const char *s, size_t n) = 0;
    virtual void put(char c) = 0;

  protected:
    ~Sink() = default;
};

// Writes into buf, at most cap bytes with the NUL, counting the length of the whole text.
class BufferSink final : public Sink {
  public:
    BufferSink(char *buffer, size_t capacity) : buf(buffer), cap(capacity) {}
    void write(const char *s, size_t n) override;
    void put(char c) override;
    // Terminates the text and returns its whole length.
    size_t finish();

  private:
    char *buf;
    size_t cap;
    size_t len = 0;
};

// Writes to a stream in chunks; failed tells whether a write came short.
class FileSink final : public Sink {
  public:
    explicit FileSink(FILE *s) : stream(s) {}
    void write(const char *s, size_t n) override;
    void put(char c) override;
    void flush();

    bool failed = false;
    size_t total = 0;

  private:
    FILE *stream;
    char chunk[512];
    size_t used = 0;
};

// printf formatting into a sink; floating-point conversions follow the number-text rule.
void vformat(Sink &out, const char *format, va_list ap);

} // namespace brtl::host
