// Like over arbitrary texts and patterns under both code pages, checked against the reference
// walk of its suite (every answer and every bad list it meets), and the byte matcher against the
// wide matcher: on ASCII texts and patterns without "[!]" (which the two read differently) they
// must give the same answer and meet the same bad list.
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "strings/pattern.h"
#include "tests/strings/like_reference.h"

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
    bool ignore_case = (selector & 1) != 0;
    bool japanese = (selector & 0x80) != 0; // as use_code_page picks it
    fuzz::host_text_compare = ignore_case;
    long traps_before = fuzz::traps_raised;
    VARIANT r;
    ZbiMatchPattern(&r, fuzz::string_variant(text), fuzz::string_variant(pattern));
    bool trapped = fuzz::traps_raised != traps_before;
    // The reference walk reads single bytes: under the double-byte code page only ASCII.
    bool single_bytes = !japanese || (plain_ascii(text) && plain_ascii(pattern));
    if (single_bytes && text.size() * pattern.size() <= 100000) {
        brtl_test::ReferenceMatcher reference{std::string(text), std::string(pattern), ignore_case,
                                              japanese};
        auto expected = reference.answer();
        bool yes = r.vt == VT_I2 && r.iVal != 0; // the answer is an Integer, -1 or 0
        if (trapped != (expected == brtl_test::ReferenceMatcher::Answer::Bad)) std::abort();
        if (yes != (expected == brtl_test::ReferenceMatcher::Answer::Yes)) std::abort();
    }
    if (!plain_ascii(text) || !plain_ascii(pattern) || pattern.find("[!]") != pattern.npos)
        return 0;
    std::vector<OLECHAR> t = units(text), p = units(pattern);
    auto bytes = brtl::strings::match_bytes(text.data(), text.size(), pattern.data(),
                                            pattern.size(), ignore_case);
    auto wide = brtl::strings::match_wide(t.data(), t.size(), p.data(), p.size(), ignore_case);
    if (bytes != wide) std::abort();
    return 0;
}
