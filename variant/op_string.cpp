// String operands of the Variant operators: a string meeting a number (parsed into a number, or
// under a comparison greater than any number unless both read as dates), the concatenation of
// two strings and the comparison of two strings.
#include <cstring>

#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "platform/bstr.h"
#include "platform/codepage.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/ops.h"
#include "variant/owned_variant.h"

namespace brtl::variant {

namespace {

// Parses a string operand in place into a Double; false when the text is not a number (the
// conversion has raised its trap and left the operand Empty).
bool string_to_double(VARIANT *v) {
    BiVariantCvtStrToNum(v);
    if (v->vt == VT_EMPTY || v->vt == VT_BSTR) return false;
    BiVariantCvtToDouble(v);
    return true;
}

// Parses a string operand in place into a Currency with the plain currency text reader; trap 13
// (and false, the operand released) when the text is not a Currency.
bool string_to_currency(VARIANT *v) {
    uint32_t bytes = 0;
    runtime::ZrBuffer<char> text(ZbiOleToChar(v->bstrVal, &bytes));
    BiCurrency value = 0;
    bool read = text && ZbiCvtStrCurNum(text.get(), &value) == 0;
    bool no_memory = !text;
    text.reset();
    BiXVariantClear(v);
    if (!read) {
        runtime::raise_trap(no_memory ? BI_TRAP_OUT_OF_MEMORY : BI_TRAP_TYPE_MISMATCH);
        return false;
    }
    set_cy(v, value);
    return true;
}

// A comparison of a string with a number or a Boolean. Beside a Date, a string that reads as a
// date becomes a Date and the two dates are compared; otherwise the string is the greater.
void string_against_number(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right,
                           bool string_on_left) {
    VARIANT *text = string_on_left ? left : right;
    VARIANT *other = string_on_left ? right : left;
    if (other->vt == VT_DATE) {
        OwnedVariant keep_text(text); // released if a hook leaves by an exception
        if (string_is_date(text)) {
            ZbiVariantCvtToDate(text, text, 0, 0);
            keep_text.release();
            if (text->vt != VT_DATE) {
                abandon_binary(result, left, right);
                return;
            }
            dispatch_binary(op, result, left, right);
            return;
        }
        keep_text.release();
    }
    BiXVariantClear(text);
    set_truth(result, string_on_left ? holds(op, 1, 0) : holds(op, 0, 1));
}

// A string operand meeting a number under + - * and the bitwise operators: it becomes a number
// (a Currency beside a Currency under + and -, else a Double) and the operation goes on.
void string_meets_number(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right,
                         bool string_on_left) {
    VARIANT *text = string_on_left ? left : right;
    VARIANT *other = string_on_left ? right : left;
    if (is_comparison(op) && other->vt != VT_BSTR) {
        string_against_number(op, result, left, right, string_on_left);
        return;
    }
    if (op < kAdd || op > kImp) {
        fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
        return;
    }
    OwnedVariant keep_other(other); // may be the second string; released on an exception
    bool as_currency = (op == kAdd || op == kSub) && other->vt == VT_CY;
    bool converted = as_currency ? string_to_currency(text) : string_to_double(text);
    keep_other.release();
    if (!converted) {
        abandon_binary(result, left, right);
        return;
    }
    dispatch_binary(op, result, left, right);
}

// Byte order of two texts: the first differing byte (unsigned), else the shorter first.
int compare_bytes(const char *a, uint32_t na, const char *b, uint32_t nb) {
    int order = std::memcmp(a, b, na < nb ? na : nb);
    if (order != 0) return order < 0 ? -1 : 1;
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

// As compare_bytes, with the letters of single-byte characters compared without regard to case
// (the trail byte of a double-byte character is compared as it is).
int compare_bytes_case_blind(const char *a, uint32_t na, const char *b, uint32_t nb) {
    uint32_t n = na < nb ? na : nb;
    bool trail = false;
    for (uint32_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        int fx = trail ? x : platform::to_lower(x);
        int fy = trail ? y : platform::to_lower(y);
        if (fx != fy) return fx < fy ? -1 : 1;
        trail = !trail && platform::is_lead_byte(x);
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

// Unit order of two strings, for texts whose multibyte forms are equal only because characters
// outside the code page became the same substitute.
int compare_units(BSTR a, BSTR b) {
    uint32_t na = SysStringLen(a), nb = SysStringLen(b);
    uint32_t n = na < nb ? na : nb;
    for (uint32_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

} // namespace

void string_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    string_meets_number(op, result, left, right, true);
}

void string_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    string_meets_number(op, result, left, right, false);
}

void concatenate(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    // The UTF-16 units are joined as they are, so no character is lost to the code page. The
    // left operand is consumed: its block grows to hold the join (s = s & x stays linear).
    if (left != right && left->bstrVal != nullptr) {
        BSTR joined =
            platform::append_units(left->bstrVal, right->bstrVal, SysStringLen(right->bstrVal));
        if (joined == nullptr) {
            fail_binary(result, left, right, BI_TRAP_OUT_OF_MEMORY);
            return;
        }
        left->vt = VT_EMPTY; // its block is the join now
        BiXVariantClear(right);
        result->vt = VT_BSTR;
        result->bstrVal = joined;
        return;
    }
    uint32_t na = SysStringLen(left->bstrVal), nb = SysStringLen(right->bstrVal);
    uint64_t total = uint64_t{na} + nb;
    BSTR joined =
        total <= UINT32_MAX ? SysAllocStringLen(nullptr, static_cast<uint32_t>(total)) : nullptr;
    if (joined == nullptr) {
        fail_binary(result, left, right, BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    if (na != 0) std::memcpy(joined, left->bstrVal, na * sizeof(OLECHAR));
    if (nb != 0) std::memcpy(joined + na, right->bstrVal, nb * sizeof(OLECHAR));
    release_operands(left, right);
    result->vt = VT_BSTR;
    result->bstrVal = joined;
}

void compare_strings(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (!is_comparison(op)) {
        fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
        return;
    }
    uint32_t na = 0, nb = 0;
    runtime::ZrBuffer<char> a(ZbiOleToChar(left->bstrVal, &na));
    runtime::ZrBuffer<char> b(a ? ZbiOleToChar(right->bstrVal, &nb) : nullptr);
    if (!a || !b) {
        fail_binary(result, left, right, BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    int order;
    if (runtime::text_compare()) {
        order = compare_bytes_case_blind(a.get(), na, b.get(), nb);
    } else {
        order = compare_bytes(a.get(), na, b.get(), nb);
        if (order == 0) order = compare_units(left->bstrVal, right->bstrVal);
    }
    release_operands(left, right);
    set_truth(result, holds(op, order, 0));
}

} // namespace brtl::variant
