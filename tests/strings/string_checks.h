// Checks shared by the string library suites: calling a runtime-string builtin with a temporary
// and with a borrowed argument, Variants of UTF-16 text, and a counted host object that shows
// whether a Variant operand was released.
#pragma once

#include <functional>
#include <string>

#include "harness/harness.h"

namespace brtl_test {

using StringFn = std::function<BiString(BiString)>;

// Whether a builtin may hand a borrowed argument back as its result.
enum class Reuse { Never, Allowed };

// Calls fn once with a temporary and once with a borrowed string holding `text`. Both calls must
// give `expected`, raise no trap, leave no block behind once the result is freed by the freeing
// rule (so a temporary argument is freed exactly once, by the builtin or through its result),
// and leave the borrowed string as it was. Unless reuse is allowed, a non-empty result of the
// borrowed call must be a new temporary.
inline void expect_text(const StringFn &fn, const std::string &text, const std::string &expected,
                        Reuse reuse = Reuse::Never) {
    SCOPED_TRACE("argument \"" + text + "\"");
    {
        BlockBalance balance;
        BiString r = fn(temp(text));
        EXPECT_TRUE(BiStringIsTemporary(r) || BiStringLength(r) == 0) << "temporary argument";
        EXPECT_EQ(take(r), expected) << "temporary argument";
        EXPECT_EQ(balance.delta(), 0) << "temporary argument";
    }
    {
        Borrowed borrowed(text);
        BlockBalance balance;
        BiString r = fn(borrowed.get());
        if (reuse == Reuse::Never && BiStringLength(r) != 0) {
            EXPECT_TRUE(BiStringIsTemporary(r)) << "borrowed argument";
            EXPECT_NE(r.data, borrowed.get().data) << "borrowed argument";
        }
        EXPECT_EQ(take(r), expected) << "borrowed argument";
        EXPECT_EQ(balance.delta(), 0) << "borrowed argument";
        EXPECT_TRUE(borrowed.intact());
    }
    EXPECT_TRUE(host().traps.empty());
}

// Calls fn with a temporary and with a borrowed `text`, with returning and with throwing hooks;
// each call must raise exactly `trap` through the trap hook and leak nothing, and the returning
// calls give the empty string. With `fail_after` of 0 or more, allocations fail after that many
// more succeed during the call.
inline void expect_trap(const StringFn &fn, const std::string &text, int32_t trap,
                        long fail_after = -1) {
    SCOPED_TRACE("argument \"" + text + "\"");
    const std::vector<Trap> once{{trap, Family::Trap, ""}};
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        host().mode = mode;
        for (bool temporary : {true, false}) {
            host().traps.clear();
            Borrowed borrowed(text);
            BlockBalance balance;
            BiString arg = temporary ? temp(text) : borrowed.get();
            fail_allocations_after(fail_after);
            if (mode == HookMode::Throw) {
                EXPECT_THROW(fn(arg), TrapException);
            } else {
                BiString r = fn(arg);
                fail_allocations_after(-1);
                EXPECT_EQ(take(r), "");
            }
            fail_allocations_after(-1);
            EXPECT_EQ(host().traps, once) << (temporary ? "temporary" : "borrowed");
            EXPECT_EQ(balance.delta(), 0) << (temporary ? "temporary" : "borrowed");
            EXPECT_TRUE(borrowed.intact());
        }
    }
    host().mode = HookMode::Return;
    host().traps.clear();
}

// The UTF-16 text of a string Variant; "<vt N>" for any other subtype.
inline std::u16string variant_text(const VARIANT &v) {
    if (v.vt != VT_BSTR)
        return u"<vt " + std::u16string(1, static_cast<char16_t>(u'0' + v.vt)) + u">";
    return units_of(v.bstrVal);
}

// A host object behind VT_DISPATCH that counts its references.
struct CountedObject {
    BrtlUnknown base;
    int references = 1;

    CountedObject() : base{&kVtbl} {}
    VARIANT variant() {
        VARIANT v{};
        v.vt = VT_DISPATCH;
        v.pdispVal = &base;
        return v;
    }

  private:
    static HRESULT query(void *, const void *, void **) { return E_FAIL; }
    static uint32_t add_ref(void *self) {
        return static_cast<uint32_t>(++static_cast<CountedObject *>(self)->references);
    }
    static uint32_t release(void *self) {
        return static_cast<uint32_t>(--static_cast<CountedObject *>(self)->references);
    }
    static constexpr BrtlUnknownVtbl kVtbl{query, add_ref, release};
};

} // namespace brtl_test
