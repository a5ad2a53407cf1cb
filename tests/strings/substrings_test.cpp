// Left, Right and Mid in their byte, character and Variant forms.
#include "strings/string_checks.h"

using namespace brtl_test;

namespace {

using SubstringsTest = RuntimeTest;

// A builtin with its trailing arguments bound: by<StringFn, ZbiBuiltIn_Left_, N>(2)(s) is
// Left_(s, 2), and the Variant forms write their result to the first argument and return it.
using Cut = std::function<VARIANT *(VARIANT *, VARIANT)>;
template <typename Fn, auto F, typename... A> Fn by(A... a) {
    return [=](auto... x) { return F(x..., a...); };
}
using N = int32_t;
constexpr auto left = by<StringFn, ZbiBuiltIn_Left_, N>, right = by<StringFn, ZbiBuiltIn_Right_, N>;
constexpr auto left_c = by<StringFn, ZbiBuiltIn_LeftC_, N>;
constexpr auto right_c = by<StringFn, ZbiBuiltIn_RightC_, N>;
constexpr auto mid = by<StringFn, ZbiBuiltIn_MidFunc_, N, N>;
constexpr auto mid_c = by<StringFn, ZbiBuiltIn_MidFuncC_, N, N>;
constexpr auto vleft = by<Cut, ZbiBuiltIn_Left, N>, vright = by<Cut, ZbiBuiltIn_Right, N>;
constexpr auto vleft_c = by<Cut, ZbiBuiltIn_LeftC, N>, vright_c = by<Cut, ZbiBuiltIn_RightC, N>;
constexpr auto vmid = by<Cut, ZbiBuiltIn_MidFunc, N, N>,
               vmid_c = by<Cut, ZbiBuiltIn_MidFuncC, N, N>;

// A BSTR Variant of n units "0123456789012...".
VARIANT digits_variant(uint32_t n) {
    std::string text;
    for (uint32_t i = 0; i < n; ++i)
        text.push_back(static_cast<char>('0' + i % 10));
    return bstr_variant(text);
}

struct CutCase {
    Cut fn;
    VARIANT v; // the call releases it
    std::u16string expected;
    Bstr bstr = Bstr::Either;
};

void expect_cut(const CutCase &c) {
    SCOPED_TRACE(std::string(c.expected.begin(), c.expected.end()));
    BSTR original = c.v.vt == VT_BSTR ? c.v.bstrVal : nullptr;
    VARIANT r = i2(1);
    EXPECT_EQ(c.fn(&r, c.v), &r);
    EXPECT_EQ(variant_text(r), c.expected);
    EXPECT_TRUE(r.vt != VT_BSTR || r.bstrVal[c.expected.size()] == 0); // terminated
    EXPECT_TRUE(c.bstr == Bstr::Either || (r.bstrVal == original) == (c.bstr == Bstr::Kept));
    VariantClear(&r);
    EXPECT_TRUE(host().traps.empty());
}

void expect_cuts(const auto &...cases) {
    (expect_cut(cases), ...);
}

using T = TextCase;
using X = TrapCase;
using C = CutCase;

} // namespace

TEST_F(SubstringsTest, CutsOfRuntimeStrings) {
    // With no more characters than the count the argument itself comes back; Mid takes bytes
    // from a one-based start and always copies; the character forms count bytes here. A zero
    // count gives the empty string with the flag set; Mid beyond the end or of length 0 (which
    // does not validate the start) with the flag clear.
    const Reuse same = Reuse::Same, set = Reuse::Flagged, clear = Reuse::Unflagged;
    expect_texts(T{left(2), "hello", "he"}, T{right(3), "hello", "llo"}, T{left(1), "", ""},
                 T{left(0x7FFFFFFF), "hello", "hello", same}, T{right(5), "hello", "hello", same},
                 T{mid(2, 3), "hello", "ell"}, T{mid(2, 0x7FFFFFFF), "abc", "bc"},
                 T{mid(1, 3), "abc", "abc"}, T{left_c(1), kA + "a", "\x82"},
                 T{mid_c(2, 2), "a" + kA + "b", kA}, T{left(0), "hello", "", set},
                 T{right_c(0), "hello", "", set}, T{mid(4, 1), "abc", "", clear},
                 T{mid(0, 0), "abc", "", clear});
    // The character forms count a double-byte character as one; the byte forms cut through it.
    use_japanese();
    const std::string text = "a" + kA + kI + "b", three = kA + kI + "c";
    expect_texts(T{left_c(1), kA + "a", kA}, T{left(1), kA + "a", "\x82"},
                 T{right_c(2), kA + kI + kU, kI + kU}, T{right_c(3), kA + "b", kA + "b", same},
                 T{left_c(3), three, three, same}, T{mid_c(2, 2), text, kA + kI},
                 T{mid(3, 2), text, "\xA0\x82"}, T{mid_c(4, 10), text, "b"},
                 T{mid_c(5, 1), text, "", clear});
}

TEST_F(SubstringsTest, TrapsOfRuntimeStringCuts) {
    // A negative count, a start or length below one: trap 5; no memory for the result: trap 7.
    expect_traps(X{left(-1), "hello", 5}, X{right_c(-5), "hello", 5}, X{mid(0, 1), "abc", 5},
                 X{mid(1, -1), "abc", 5}, X{mid_c(2, -7), "abc", 5}, X{left(2), "hello", 7, 0},
                 X{mid(2, 1), "abc", 7, 0});
    use_japanese(); // the character forms make a UTF-16 copy, then the result
    const std::string three = kA + kI + kU;
    expect_traps(X{left_c(-1), kA + "b", 5}, X{mid_c(0, 1), kA + kI, 5}, X{left_c(1), three, 7, 0},
                 X{right_c(1), three, 7, 1}, X{mid_c(2, 1), kA + kI, 7, 0},
                 X{mid_c(2, 1), kA + kI, 7, 1});
}

TEST_F(SubstringsTest, VariantCuts) {
    BlockBalance balance;
    // Left and Right shrink the BSTR in place by up to 64 units, moving kept units to the front;
    // a longer shrink makes a fresh copy. Mid cuts the code page form into a new string.
    const Bstr kept = Bstr::Kept, fresh = Bstr::New;
    expect_cuts(C{vleft(36), digits_variant(100), u"012345678901234567890123456789012345", kept},
                C{vleft(35), digits_variant(100), u"01234567890123456789012345678901234", fresh},
                C{vright(36), digits_variant(100), u"456789012345678901234567890123456789", kept},
                C{vright(3), digits_variant(100), u"789", fresh},
                C{vleft(100), bstr_variant("abc"), u"abc", kept}, C{vleft(3), empty_variant(), u""},
                C{vmid(2, 3), bstr_variant("hello"), u"ell"},
                C{vmid_c(4, 100), bstr_variant("hello"), u"lo"},
                C{vmid(9, 1), bstr_variant("hello"), u""});
    EXPECT_EQ(balance.delta(), 0);
    // Null is Null whatever the count or start.
    for (const Cut &fn : {vleft(-1), vright_c(3), vmid(0, 1), vmid_c(1, -1)}) {
        VARIANT r = i2(7);
        fn(&r, null_variant());
        EXPECT_EQ(r.vt, VT_NULL);
    }
    EXPECT_TRUE(traps().empty());
    // The character forms cut units like the plain forms; Mid counts bytes and MidC characters.
    use_japanese();
    // A lone lead byte is no character of the code page: it becomes the default character.
    expect_cuts(C{vleft_c(1), bstr_variant(u"\u3042\u3044"), u"\u3042"},
                C{vmid(2, 2), bstr_variant(u"a\u3042b"), u"\u3042"},
                C{vmid_c(2, 2), bstr_variant(u"a\u3042b"), u"\u3042b"},
                C{vmid(2, 1), bstr_variant(u"a\u3042b"), u"?"});
}

TEST_F(SubstringsTest, VariantCutTrapsClearTheResult) {
    auto expect_cleared = [](auto make, const Cut &fn, int32_t trap, long fail_after = -1) {
        auto call = [&](VARIANT v) {
            VARIANT r = i2(1);
            fn(&r, v);
            EXPECT_EQ(r.vt, VT_EMPTY);
        };
        expect_raises(make, call, {trap, Family::Trap, ""}, fail_after);
    };
    for (const Cut &fn : {vleft(-1), vright(-1), vmid(0, 1), vmid_c(1, -2)})
        expect_cleared([] { return bstr_variant("abc"); }, fn, 5);
    expect_cleared([] { return error_variant(5); }, vright(1), 13);
    // Without memory: the copy of a long cut; the code page text, the cut, its UTF-16 copy and
    // the new BSTR of Mid.
    expect_cleared([] { return digits_variant(100); }, vleft(10), 7, 0);
    for (long k = 0; k < 4; ++k)
        expect_cleared([] { return bstr_variant("hello"); }, vmid(2, 2), 7, k);
    expect_object_released( // an object operand is released after the conversion trap
        [](VARIANT v) {
            VARIANT r;
            ZbiBuiltIn_Left(&r, v, 2);
            EXPECT_EQ(r.vt, VT_EMPTY);
        },
        {13, Family::Trap, ""});
}
