// Code page 932 through the C library's iconv.
#include "platform/cp932.h"

#include <iconv.h>

#include <cstring>

namespace brtl::platform {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t converter(void *p) {
    return static_cast<iconv_t>(p);
}

} // namespace

SystemCp932::SystemCp932()
    : to_wide_(iconv_open("UTF-16LE", "CP932")), to_multi_(iconv_open("CP932", "UTF-16LE")) {}

SystemCp932::~SystemCp932() {
    if (converter(to_wide_) != kNoConverter) iconv_close(converter(to_wide_));
    if (converter(to_multi_) != kNoConverter) iconv_close(converter(to_multi_));
}

bool SystemCp932::usable() const {
    return converter(to_wide_) != kNoConverter && converter(to_multi_) != kNoConverter;
}

uint16_t SystemCp932::unit(const unsigned char *bytes, size_t n) {
    char in[2];
    std::memcpy(in, bytes, n);
    unsigned char out[8];
    char *inp = in;
    char *outp = reinterpret_cast<char *>(out);
    size_t inleft = n, outleft = sizeof out;
    iconv_t cd = converter(to_wide_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<size_t>(-1) || inleft != 0 ||
        sizeof out - outleft != 2)
        return 0;
    return static_cast<uint16_t>(out[0] | out[1] << 8);
}

uint16_t SystemCp932::bytes(uint16_t unit) {
    unsigned char in[2] = {static_cast<unsigned char>(unit & 0xFF),
                           static_cast<unsigned char>(unit >> 8)};
    unsigned char out[4];
    char *inp = reinterpret_cast<char *>(in);
    char *outp = reinterpret_cast<char *>(out);
    size_t inleft = 2, outleft = sizeof out;
    iconv_t cd = converter(to_multi_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<size_t>(-1) || inleft != 0)
        return 0;
    size_t written = sizeof out - outleft;
    if (written == 1) return out[0];
    if (written == 2) return static_cast<uint16_t>(out[0] << 8 | out[1]);
    return 0;
}

} // namespace brtl::platform
