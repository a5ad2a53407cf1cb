// Checks shared by the string library suites: a builtin called with a temporary and with a
// borrowed argument, trap paths under returning and throwing hooks, UTF-16 text of Variants, and
// a counted host object that shows whether a Variant operand was released.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "harness/harness.h"

namespace brtl_test {

using StringFn = std::function<BiString(BiString)>;

// What a builtin gives back. Never: a non-empty result is a temporary, for a borrowed argument a
// new one. Same: the argument itself (same data, same length word). Flagged, Unflagged: the
// empty string with the temporary flag set or clear.
enum class Reuse { Never, Same, Flagged, Unflagged };
// Whether a Variant builtin keeps the operand's BSTR for its result.
enum class Bstr { Kept, New, Either };

// Called with a temporary and with a borrowed argument, fn gives the expected text with no trap,
// leaves the borrowed string as it was and nothing behind once the result is freed by the freeing
// rule (so a temporary argument is freed exactly once).
struct TextCase {
    StringFn fn;
    std::string text, expected;
    Reuse reuse = Reuse::Never;
};
inline void expect_text(const TextCase &c) {
    SCOPED_TRACE("argument \"" + c.text + "\"");
    Borrowed borrowed(c.text);
    for (bool temporary : {true, false}) {
        SCOPED_TRACE(temporary ? "temporary" : "borrowed");
        BlockBalance balance;
        BiString arg = temporary ? temp(c.text) : borrowed.get();
        BiString r = c.fn(arg);
        if (c.reuse == Reuse::Same) {
            EXPECT_TRUE(r.data == arg.data && r.length_word == arg.length_word);
        } else if (c.reuse != Reuse::Never) {
            EXPECT_EQ(r.length_word, c.reuse == Reuse::Flagged ? BI_STRING_TEMP_FLAG : 0u);
        } else if (BiStringLength(r) != 0) {
            EXPECT_TRUE(BiStringIsTemporary(r) && (temporary || r.data != arg.data));
        }
        EXPECT_EQ(take(r), c.expected);
        EXPECT_EQ(balance.delta(), 0);
    }
    EXPECT_TRUE(borrowed.intact());
    EXPECT_TRUE(host().traps.empty());
}

struct NoCheck {
    void operator()(auto &) const {}
};

// Calls `call(arg)` with returning and with throwing hooks, `make` giving the argument afresh
// before allocations start to fail (after `fail_after` more succeed, when 0 or more). Each run
// must raise exactly `trap`, leave by the exception only with throwing hooks, and leak nothing
// once `after(arg)` has run. `call` checks what a returning call gives.
template <typename Make, typename Call, typename After = NoCheck>
void expect_raises(Make make, Call call, Trap trap, long fail_after = -1, After after = {}) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        SCOPED_TRACE(mode == HookMode::Throw ? "throwing hooks" : "returning hooks");
        host().mode = mode;
        host().traps.clear();
        BlockBalance balance;
        auto arg = make();
        fail_allocations_after(fail_after);
        bool thrown = false;
        try {
            call(arg);
        } catch (const TrapException &) {
            thrown = true;
        }
        fail_allocations_after(-1);
        EXPECT_EQ(thrown, mode == HookMode::Throw);
        after(arg);
        EXPECT_EQ(host().traps, std::vector<Trap>{trap});
        EXPECT_EQ(balance.delta(), 0);
    }
    host().mode = HookMode::Return;
    host().traps.clear();
}

// With a temporary and with a borrowed argument, fn raises the trap through the trap hook and a
// returning call gives the empty string.
struct TrapCase {
    StringFn fn;
    std::string text;
    int32_t trap;
    long fail_after = -1;
};
inline void expect_trap(const TrapCase &c) {
    SCOPED_TRACE("argument \"" + c.text + "\" failing after " + std::to_string(c.fail_after));
    Borrowed borrowed(c.text);
    for (bool temporary : {true, false})
        expect_raises([&] { return temporary ? temp(c.text) : borrowed.get(); },
                      [&](BiString s) { EXPECT_EQ(take(c.fn(s)), ""); }, {c.trap, Family::Trap, ""},
                      c.fail_after);
    EXPECT_TRUE(borrowed.intact());
}

void expect_texts(const auto &...cases) {
    (expect_text(cases), ...);
}
void expect_traps(const auto &...cases) {
    (expect_trap(cases), ...);
}

inline void use_japanese() {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
}

// Code page 932 bytes of U+3000 (the full-width space), U+3042, U+3044 and U+3046.
inline const std::string kFullWidthSpace = "\x81\x40", kA = "\x82\xA0", kI = "\x82\xA2",
                         kU = "\x82\xA4";

// The UTF-16 text of a string Variant; "<vt N>" for any other subtype.
inline std::u16string variant_text(const VARIANT &v) {
    if (v.vt != VT_BSTR) return u"<vt " + std::u16string(1, char16_t(u'0' + v.vt)) + u">";
    return units_of(v.bstrVal);
}

// Runs `call(object Variant)` with both hooks (see expect_raises): it must raise `trap` and
// drop the object's reference.
template <typename Call> void expect_object_released(Call call, Trap trap) {
    HostObject object;
    expect_raises(
        [&] {
            object.references = 0;
            return object.variant();
        },
        call, trap, -1, [&](VARIANT &) { EXPECT_EQ(object.references, 0); });
}

} // namespace brtl_test
