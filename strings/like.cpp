// Like: ZbiMatchPattern runs the byte matcher under a single-byte code page and, under a
// double-byte one, the host's matcher when it supplies one, else the wide matcher.
#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "platform/codepage.h"
#include "runtime/bstr_text.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "strings/pattern.h"
#include "strings/text_util.h"
#include "variant/owned_variant.h"

namespace {

using brtl::strings::MatchResult;

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// Under a double-byte code page: both texts to UTF-16, then the host's matcher or the wide one.
MatchResult match_wide_texts(const brtl::runtime::BstrText &text,
                             const brtl::runtime::BstrText &pattern, bool ignore_case) {
    uint32_t tn = 0, pn = 0;
    brtl::runtime::ZrBuffer<OLECHAR> t(ZbiCharToWide(text.data(), text.size(), &tn));
    brtl::runtime::ZrBuffer<OLECHAR> p(ZbiCharToWide(pattern.data(), pattern.size(), &pn));
    if (!t || !p) {
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return MatchResult::NoMatch;
    }
    auto host = reinterpret_cast<BiMatchPatternProc>(ZrGetIntStrProc("ZrBiMatchPattern"));
    if (host != nullptr)
        return host(t.get(), p.get(), ignore_case ? 1 : 0) != 0 ? MatchResult::Match
                                                                : MatchResult::NoMatch;
    return brtl::strings::match_wide(t.get(), tn, p.get(), pn, ignore_case);
}

int16_t answer(VARIANT &text, VARIANT &pattern) {
    brtl::runtime::BstrText t(text.bstrVal), p(pattern.bstrVal);
    if (!t.ok() || !p.ok()) {
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return kFalse;
    }
    bool ignore_case = brtl::runtime::text_compare();
    MatchResult r =
        brtl::platform::mb_cur_max() == 1
            ? brtl::strings::match_bytes(t.data(), t.size(), p.data(), p.size(), ignore_case)
            : match_wide_texts(t, p, ignore_case);
    if (r == MatchResult::BadList) brtl::runtime::raise_trap(BI_TRAP_PATTERN);
    return r == MatchResult::Match ? kTrue : kFalse;
}

} // namespace

extern "C" {

BRTL_API VARIANT *ZbiMatchPattern(VARIANT *result, VARIANT text, VARIANT pattern) {
    brtl::variant::OwnedVariant text_guard(&text), pattern_guard(&pattern);
    result->vt = VT_EMPTY; // the result should a trap's hook return
    if (text.vt == VT_NULL || pattern.vt == VT_NULL) {
        result->vt = VT_NULL;
        return result;
    }
    if (!brtl::strings::make_bstr(text) || !brtl::strings::make_bstr(pattern)) return result;
    int16_t r = answer(text, pattern);
    result->vt = VT_I2;
    result->iVal = r;
    return result;
}

} // extern "C"
