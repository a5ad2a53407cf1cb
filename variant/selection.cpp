// The selection builtins IIf, Choose and Switch, whose notion of truth is the runtime's zero
// test, and Partition. Every Variant argument that does not become the result is released, on
// every path.
#include <algorithm>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/ops.h"
#include "variant/owned_variant.h"

// Argument lists step by one Variant: 16 bytes, 24 on 64-bit Windows, whose Variant also holds
// a record of two pointers.
static_assert(sizeof(VARIANT) == 16 || sizeof(VARIANT) == 8 + 2 * sizeof(void *),
              "argument lists step by one OLE Variant");

namespace brtl::variant {

namespace {

constexpr int kStrictChooseLimit = 13;
constexpr int kStrictSwitchLimit = 14;

// The truth test of IIf and Switch: zero values, Empty, Null and the empty string are false; any
// other string is true whatever it says (a string tested is released). A Boolean, an Error or an
// object raises trap 51 and counts as false.
bool holds_true(VARIANT *v) {
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return false;
    case VT_I2:
        return v->iVal != 0;
    case VT_I4:
        return v->lVal != 0;
    case VT_CY:
        return v->cyVal != 0;
    case VT_R4:
        return v->fltVal != 0.0f; // +0 and -0 are false
    case VT_R8:
    case VT_DATE:
        return v->dblVal != 0.0;
    case VT_BSTR: {
        bool non_empty = SysStringLen(v->bstrVal) != 0;
        BiXVariantClear(v);
        return non_empty;
    }
    default:
        runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return false;
    }
}

// Moves a list item into the result, leaving the item Empty.
void move_into(VARIANT *result, VARIANT *item) {
    *result = *item;
    item->vt = VT_EMPTY;
}

// The items of an argument list from `next` to the end, released when the scope ends (also when
// a hook leaves by an exception).
class PendingItems {
  public:
    PendingItems(VARIANT *first, int count) : first_(first), count_(count) {}
    PendingItems(const PendingItems &) = delete;
    PendingItems &operator=(const PendingItems &) = delete;
    ~PendingItems() { release_rest(); }

    VARIANT *item(int k) const { return first_ - k; }
    // Items before k have been dealt with.
    void done_before(int k) { next_ = k; }
    void release_rest() {
        for (; next_ < count_; ++next_)
            BiXVariantClear(item(next_));
    }

  private:
    VARIANT *first_;
    int count_;
    int next_ = 0;
};

// Whether a Switch expression selects its value: Empty and Null never do; a string does unless
// it converts to the Long 0; anything else by the truth test.
bool switch_matches(VARIANT *e) {
    if (e->vt == VT_EMPTY || e->vt == VT_NULL) return false;
    if (e->vt == VT_BSTR) {
        VariantChangeType(e, e, 0, VT_I4);
        return !(e->vt == VT_I4 && e->lVal == 0);
    }
    return holds_true(e);
}

// ---- Partition ----------------------------------------------------------------------------

constexpr int kNumberField = 24; // room for any 64-bit value printed with "%lld"

struct Printed {
    char text[kNumberField];
    int length = 0;
};

Printed printed(int64_t x) {
    Printed p;
    int32_t n = ZrSnprintf(p.text, sizeof p.text, "%lld", static_cast<long long>(x));
    p.length = std::clamp(n, 0, kNumberField - 1);
    return p;
}

// Copies a printed number flush right into the field that ends at end.
void place_right(char *end, const Printed &p) {
    std::copy(p.text, p.text + p.length, end - p.length);
}

// The range text of n: two fields of equal width around ":", each wide enough for stop + 1 and
// for the numbers placed in them.
bool partition_text(VARIANT *result, int64_t n, int64_t start, int64_t stop, int64_t interval) {
    Printed left, right;
    if (n < start) {
        right = printed(start - 1);
    } else if (n <= stop) {
        interval = std::max<int64_t>(std::min(interval, stop - start + 1), 1);
        int64_t lower = start + (n - start) / interval * interval;
        left = printed(lower);
        right = printed(std::min(lower + interval - 1, stop));
    } else {
        left = printed(stop + 1);
    }
    int w = std::max({printed(stop + 1).length, left.length, right.length});
    char text[2 * kNumberField + 1];
    std::fill(text, text + 2 * w + 1, ' ');
    text[w] = ':';
    place_right(text + w, left);
    place_right(text + 2 * w + 1, right);
    BSTR b = SysAllocStringLen(nullptr, static_cast<uint32_t>(2 * w + 1));
    if (b == nullptr) return false;
    for (int i = 0; i < 2 * w + 1; ++i)
        b[i] = static_cast<unsigned char>(text[i]);
    result->vt = VT_BSTR;
    result->bstrVal = b;
    return true;
}

} // namespace

} // namespace brtl::variant

extern "C" {

BRTL_API VARIANT *ZbiBuiltIn_IIf(VARIANT *result, VARIANT condition, VARIANT true_part,
                                 VARIANT false_part) {
    brtl::variant::OwnedVariant own_condition(&condition);
    brtl::variant::OwnedVariant own_true(&true_part);
    brtl::variant::OwnedVariant own_false(&false_part);
    result->vt = VT_EMPTY;
    if (brtl::variant::holds_true(&condition))
        brtl::variant::move_into(result, own_true.release());
    else
        brtl::variant::move_into(result, own_false.release());
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_Choose(VARIANT *result, int16_t count, int16_t index, VARIANT *first) {
    result->vt = VT_NULL;
    brtl::variant::PendingItems items(first, count);
    for (int k = 1; k <= count; ++k) {
        if (k == index)
            brtl::variant::move_into(result, items.item(k - 1));
        else
            BiXVariantClear(items.item(k - 1));
        items.done_before(k);
    }
    if (count > brtl::variant::kStrictChooseLimit && brtl::runtime::strict_limits()) {
        BiXVariantClear(result);
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    }
    return result;
}

BRTL_API VARIANT *BiBuiltIn_Switch(VARIANT *result, int16_t count, VARIANT *first) {
    result->vt = VT_NULL;
    {
        brtl::variant::PendingItems items(first, count);
        if (count % 2 != 0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        for (int p = 0; p + 1 < count; p += 2) {
            VARIANT *expression = items.item(p);
            VARIANT *value = items.item(p + 1);
            if (brtl::variant::switch_matches(expression)) {
                BiXVariantClear(expression);
                brtl::variant::move_into(result, value);
                items.done_before(p + 2);
                break; // the remaining pairs are released unevaluated
            }
            BiXVariantClear(expression);
            BiXVariantClear(value);
            items.done_before(p + 2);
        }
    }
    if (count > brtl::variant::kStrictSwitchLimit && brtl::runtime::strict_limits()) {
        BiXVariantClear(result);
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    }
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_Partition(VARIANT *result, VARIANT number, VARIANT start, VARIANT stop,
                                       VARIANT interval) {
    VARIANT *args[4] = {&number, &start, &stop, &interval};
    brtl::variant::OwnedVariant own0(args[0]), own1(args[1]), own2(args[2]), own3(args[3]);
    result->vt = VT_EMPTY;
    if (std::any_of(args, args + 4, [](const VARIANT *v) { return v->vt == VT_NULL; })) {
        own0.reset(), own1.reset(), own2.reset(), own3.reset();
        result->vt = VT_NULL;
        if (brtl::runtime::strict_limits()) brtl::runtime::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        return result;
    }
    // An argument that is no Long (NaN, out of range, text that is no number) has no range: after
    // its conversion trap the result stays Empty and nothing more is converted or raised.
    int64_t value[4];
    for (int i = 0; i < 4; ++i) {
        ZbiVariantChangeTypeAndTrap(args[i], args[i], VT_I4);
        if (args[i]->vt != VT_I4) return result;
        value[i] = args[i]->lVal;
    }
    own0.reset(), own1.reset(), own2.reset(), own3.reset();
    int64_t n = value[0], low = value[1], high = value[2], step = value[3];
    if (low < 0 || high < low || step < 1) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    if (!brtl::variant::partition_text(result, n, low, high, step)) {
        result->vt = VT_EMPTY;
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
    }
    return result;
}

} // extern "C"
