// Like over arbitrary texts and patterns under both code pages, and the byte matcher against the
// wide matcher: on ASCII texts and patterns without "[!]" (which the two read differently) they
// must give the same answer and meet the same bad list.
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "strings/pattern.h"

namespace {

bool plain_ascii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::vector<OLECHAR> units(std::string_view s) {
    return std::vector<OLECHAR>(s.begin(), s.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t selector = in.byte();
    fuzz::use_code_page(selector);
    std::string_view text = in.text(), pattern = in.rest();
    VARIANT r;
    ZbiMatchPattern(&r, fuzz::string_variant(text), fuzz::string_variant(pattern));
    if (!plain_ascii(text) || !plain_ascii(pattern) || pattern.find("[!]") != pattern.npos)
        return 0;
    bool ignore_case = (selector & 1) != 0;
    std::vector<OLECHAR> t = units(text), p = units(pattern);
    auto bytes = brtl::str::match_bytes(text.data(), text.size(), pattern.data(), pattern.size(),
                                        ignore_case);
    auto wide = brtl::str::match_wide(t.data(), t.size(), p.data(), p.size(), ignore_case);
    if (bytes != wide) std::abort();
    return 0;
}
