#include "language.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "arith.h"
#include "console.h"
#include "convert.h"
#include "core.h"
#include "strings.h"
#include "variants.h"

namespace brtl::rt {
namespace {
constexpr int32_t kLargestCharCode = 65535;
constexpr int32_t kMaxCashFlows = 32767;

} // namespace

VARIANT missing_argument() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = static_cast<SCODE>(0x80020004u); // DISP_E_PARAMNOTFOUND
    return v;
}

int16_t is_missing(VARIANT *v) {
    return truth(v->vt == VT_ERROR && v->scode == static_cast<SCODE>(0x80020004u));
}

int32_t len_of_string(BiString s) {
    int32_t n = static_cast<int32_t>(BiStringLength(s));
    drop(s);
    return n;
}

VARIANT len_of_variant(VARIANT v) {
    if (v.vt == VT_NULL) return v;
    return to_var(len_of_string(to_str(v)));
}

// Chr: the character of a code of the code page (a double-byte code above 255).
BiString chr_string(int32_t code) {
    if (code < 0 || code > kLargestCharCode) raise_trap(BI_TRAP_ILLEGAL_CALL);
    std::string text;
    if (code > 255) text += static_cast<char>(code >> 8);
    text += static_cast<char>(code & 0xFF);
    return make_string(text);
}

VARIANT chr_variant(int32_t code) {
    return to_var(chr_string(code));
}

// Asc: the code of the first character (a double-byte character gives its two bytes).
int32_t asc_of(BiString s) {
    StringGuard hold(s);
    uint32_t n = BiStringLength(s);
    if (n == 0) raise_trap(BI_TRAP_ILLEGAL_CALL);
    auto first = static_cast<unsigned char>(s.data[0]);
    if (ZbiCharLen(s.data) == 2 && n > 1)
        return static_cast<int32_t>((first << 8) | static_cast<unsigned char>(s.data[1]));
    return first;
}

namespace {
BiString with_sign_place(BiString text) {
    if (BiStringLength(text) != 0 && text.data[0] == '-') return text;
    return concat(make_string(" "), text);
}
} // namespace

BiString str_of_double(double v) {
    return with_sign_place(to_str(v));
}

VARIANT str_of_variant(VARIANT v) {
    if (v.vt == VT_NULL) return v;
    return to_var(with_sign_place(to_str(v)));
}

namespace {
std::string digits(uint32_t v, unsigned base) {
    std::string out;
    do {
        out.insert(out.begin(), "0123456789ABCDEF"[v % base]);
        v /= base;
    } while (v != 0);
    return out;
}

// Hex and Oct of a Variant: an Integer keeps its 16 bits, anything else is rounded to a Long.
VARIANT radix_of_variant(VARIANT v, unsigned base) {
    VariantGuard hold(v);
    if (v.vt == VT_NULL) return hold.release();
    if (v.vt == VT_EMPTY) return to_var(make_string("0"));
    if (v.vt == VT_I2) return to_var(make_string(digits(static_cast<uint16_t>(v.iVal), base)));
    int32_t n = to_i4(hold.release());
    return to_var(make_string(digits(static_cast<uint32_t>(n), base)));
}
} // namespace

BiString hex_of_long(int32_t v) {
    return make_string(digits(static_cast<uint32_t>(v), 16));
}
BiString hex_of_integer(int16_t v) {
    return make_string(digits(static_cast<uint16_t>(v), 16));
}
VARIANT hex_of_variant(VARIANT v) {
    return radix_of_variant(v, 16);
}
BiString oct_of_long(int32_t v) {
    return make_string(digits(static_cast<uint32_t>(v), 8));
}
BiString oct_of_integer(int16_t v) {
    return make_string(digits(static_cast<uint16_t>(v), 8));
}
VARIANT oct_of_variant(VARIANT v) {
    return radix_of_variant(v, 8);
}

namespace {
VARIANT cint_rounded(VARIANT v) {
    VariantGuard operand(v);
    VariantGuard result;
    ZbiVariantDoCInt(result.get(), operand.get());
    return result.release();
}
} // namespace

int16_t cint_of_variant(VARIANT v) {
    return to_i2(cint_rounded(v));
}
int32_t clng_of_variant(VARIANT v) {
    return to_i4(cint_rounded(v));
}

double int_of_double(double v) {
    return std::floor(v);
}
double fix_of_double(double v) {
    return v < 0 ? std::ceil(v) : std::floor(v);
}
BiCurrency int_of_currency(BiCurrency v) {
    return ZbiCvtDblCurNum(std::floor(ZbiCvtCurNumDbl(v)));
}
BiCurrency fix_of_currency(BiCurrency v) {
    return ZbiCvtDblCurNum(fix_of_double(ZbiCvtCurNumDbl(v)));
}

namespace {
VARIANT in_place(void (*f)(VARIANT *, VARIANT *), VARIANT v) {
    VariantGuard operand(v);
    VariantGuard result;
    f(result.get(), operand.get());
    return result.release();
}
} // namespace

VARIANT int_of_variant(VARIANT v) {
    return in_place(ZbiVariantDoInt, v);
}
VARIANT fix_of_variant(VARIANT v) {
    return in_place(ZbiVariantDoFix, v);
}
VARIANT abs_of_variant(VARIANT v) {
    return var_unary(BI_UNOP_ABS, v);
}
VARIANT sgn_of_variant(VARIANT v) {
    return var_unary(BI_UNOP_SGN, v);
}

double round_double(double v, int32_t places) {
    if (places < 0) raise_trap(BI_TRAP_ILLEGAL_CALL);
    if (places == 0) return ZbiDoubleRound(v);
    if (places > 22) return v;
    double scale = std::pow(10.0, places);
    double scaled = v * scale;
    if (!std::isfinite(scaled)) return v;
    return ZbiDoubleRound(scaled) / scale;
}

VARIANT round_variant(VARIANT v, int32_t places) {
    VariantGuard hold(v);
    if (places < 0) raise_trap(BI_TRAP_ILLEGAL_CALL);
    if (v.vt == VT_NULL) return hold.release();
    VariantGuard number;
    ZbiVariantCvtToNum(number.get(), hold.get());
    VARIANT *n = number.get();
    switch (n->vt) {
    case VT_R4:
        return to_var(to_r4(round_double(n->fltVal, places)));
    case VT_R8:
        return to_var(round_double(n->dblVal, places));
    case VT_CY:
        if (places >= 4) return number.release();
        return to_var(to_cy(round_double(ZbiCvtCurNumDbl(n->cyVal), places)));
    default:
        return number.release();
    }
}

VARIANT cvar(VARIANT v) {
    return v;
}

double shell(BiString command, int32_t style) {
    return static_cast<double>(ZbiBuiltIn_Shell(command, style));
}

VARIANT string_variant(int32_t n, VARIANT character) {
    return to_var(ZbiBuiltIn_Space_(n, character));
}

// ---- Lists ----------------------------------------------------------------------------------

namespace {
// The library reads its lists downward in memory: item k lies at first - k.
struct DownwardList {
    std::vector<VARIANT> items;
    DownwardList(VARIANT *source, int32_t count) {
        for (int32_t i = count; i-- > 0;) {
            items.push_back(source[i]);
            VariantInit(&source[i]);
        }
    }
    ~DownwardList() {
        if (!owned) return;
        for (VARIANT &v : items)
            BiXVariantClear(&v);
    }
    VARIANT *first() { return items.data() + items.size() - 1; }
    // The library takes the items over (it releases them on every path, a trap's included).
    void handed_over() { owned = false; }
    bool owned = true;
};
} // namespace

VARIANT choose(int32_t index, VARIANT *items, int32_t count) {
    DownwardList list(items, count);
    int16_t i = to_i2(index);
    VariantGuard result;
    list.handed_over();
    // With no item the list is never read: Choose of any index is Null.
    VARIANT none;
    VariantInit(&none);
    ZbiBuiltIn_Choose(result.get(), static_cast<int16_t>(count), i,
                      count > 0 ? list.first() : &none);
    return result.release();
}

VARIANT switch_of(VARIANT *items, int32_t count) {
    if (count % 2 != 0) {
        for (int32_t i = 0; i < count; ++i)
            BiXVariantClear(&items[i]);
        raise_trap(BI_TRAP_ILLEGAL_CALL);
    }
    DownwardList list(items, count);
    VariantGuard result;
    list.handed_over();
    BiBuiltIn_Switch(result.get(), static_cast<int16_t>(count), list.first());
    return result.release();
}

// ---- Cash flows -------------------------------------------------------------------------------

namespace {

std::vector<double> flows_of_array(Array *a, const TypeRef &element) {
    if (a->dims != 1) raise_trap(a->dims == 0 ? kSubscriptOutOfRange : BI_TRAP_TYPE_MISMATCH);
    std::vector<double> out;
    for (int32_t i = 0; i < a->count[0]; ++i) {
        void *p = ZbiArrayElementAddr(&a->desc, static_cast<uint32_t>(i));
        switch (element.kind) {
        case Kind::Integer:
            out.push_back(*static_cast<int16_t *>(p));
            break;
        case Kind::Long:
            out.push_back(*static_cast<int32_t *>(p));
            break;
        case Kind::Single:
            out.push_back(*static_cast<float *>(p));
            break;
        case Kind::Double:
            out.push_back(*static_cast<double *>(p));
            break;
        case Kind::Currency:
            out.push_back(ZbiCvtCurNumDbl(*static_cast<BiCurrency *>(p)));
            break;
        case Kind::Variant:
            out.push_back(to_r8(copy_var(*static_cast<VARIANT *>(p))));
            break;
        default:
            raise_trap(BI_TRAP_TYPE_MISMATCH);
        }
    }
    if (out.size() > static_cast<size_t>(kMaxCashFlows)) raise_trap(BI_TRAP_ILLEGAL_CALL);
    return out;
}

std::vector<double> flows_of_variant(const VARIANT *v) {
    Array *a = variant_array(*v);
    if (a == nullptr) raise_trap(BI_TRAP_TYPE_MISMATCH);
    return flows_of_array(a, TypeRef{Kind::Variant, 0, nullptr});
}

int16_t count_of(const std::vector<double> &v) {
    return static_cast<int16_t>(v.size());
}

double npv_of(double rate, const std::vector<double> &v) {
    return ZbiBuiltIn_NPV(rate, v.data(), count_of(v));
}
double irr_of(const std::vector<double> &v, double guess) {
    return ZbiBuiltIn_IRR(v.data(), count_of(v), guess);
}
// MIRR uses count - 1 values: the count it is given is one more than the array's length.
double mirr_of(const std::vector<double> &v, double finance, double reinvest) {
    if (v.size() == static_cast<size_t>(kMaxCashFlows)) raise_trap(BI_TRAP_ILLEGAL_CALL);
    return ZbiBuiltIn_MIRR(v.data(), static_cast<int16_t>(count_of(v) + 1), finance, reinvest);
}

} // namespace

double npv(double rate, VARIANT *values) {
    return npv_of(rate, flows_of_variant(values));
}
double irr(VARIANT *values, double guess) {
    return irr_of(flows_of_variant(values), guess);
}
double mirr(VARIANT *values, double finance_rate, double reinvest_rate) {
    return mirr_of(flows_of_variant(values), finance_rate, reinvest_rate);
}
namespace {
std::vector<double> flows_of_typed(const void *values, int32_t element_kind) {
    Array *a = const_cast<Array *>(static_cast<const Array *>(values));
    return flows_of_array(a, TypeRef{static_cast<Kind>(element_kind), 0, nullptr});
}
} // namespace

double npv_array(double rate, const void *values, int32_t element_kind) {
    return npv_of(rate, flows_of_typed(values, element_kind));
}
double irr_array(const void *values, int32_t element_kind, double guess) {
    return irr_of(flows_of_typed(values, element_kind), guess);
}
double mirr_array(const void *values, int32_t element_kind, double finance_rate,
                  double reinvest_rate) {
    return mirr_of(flows_of_typed(values, element_kind), finance_rate, reinvest_rate);
}

int16_t var_type_of(VARIANT *v) {
    return var_type(*v);
}

// ---- Statements -------------------------------------------------------------------------------

void randomize_timer() {
    VariantGuard seconds;
    ZbiBuiltIn_Timer(seconds.get());
    ZbiBuiltIn_Randomize(to_r8(seconds.release()));
}

void debug_assert(int16_t holds, BiString source, int32_t line) {
    ZbiBuiltIn_Assert(make_string("Debug.Assert"), source, static_cast<uint32_t>(line), 1,
                      int{holds});
}

BiString print_text_of(VARIANT v) {
    return make_string(print_text(v));
}

void debug_print(BiString text) {
    std::string line = take_text(text) + "\n";
    ZkWriteStringToOutputWindow(line.c_str());
}

void close_files(const int16_t *numbers, int32_t count) {
    ZbiBuiltIn_Close(count, numbers);
}

void error_statement(int32_t n) {
    if (n < 1 || n > kLargestErrorNumber) raise_trap(BI_TRAP_ILLEGAL_CALL);
    raise_trap(n);
}

void set_err(int32_t n) {
    if (n < 0 || n > kLargestErrorNumber) raise_trap(BI_TRAP_ILLEGAL_CALL);
    err().number = n;
}

} // namespace brtl::rt
