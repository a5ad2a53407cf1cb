#include "values.h"

#include <cmath>

#include "services/arith.h"
#include "services/console.h"
#include "services/convert.h"
#include "services/core.h"
#include "services/files.h"
#include "services/strings.h"

namespace brtl::basic {

BiString take_string(void *p, bool temp) {
    BiString s = load<BiString>(p);
    if (temp) save(p, rt::empty_string());
    return s;
}

VARIANT take_variant(void *p) {
    VARIANT v = load<VARIANT>(p);
    VariantInit(static_cast<VARIANT *>(p));
    return v;
}

void release_temp(void *p, Kind kind) {
    if (kind == Kind::String) {
        // A String temporary owns its text whether or not the flag says so (a temporary that a
        // ByRef parameter refers to holds it as a variable does).
        BiString s = load<BiString>(p);
        if (BiStringLength(s) != 0) ZbiFreeBiString(s);
        save(p, rt::empty_string());
    } else if (kind == Kind::Variant) {
        rt::clear_variant(*static_cast<VARIANT *>(p));
    }
}

namespace {

// The value of a slot of kind k as the overloads of the host routines take it.
template <typename F> auto with_value(Kind k, void *a, bool temp, F &&f) {
    switch (k) {
    case Kind::Integer:
        return f(load<int16_t>(a));
    case Kind::Long:
        return f(load<int32_t>(a));
    case Kind::Single:
        return f(load<float>(a));
    case Kind::Double:
        return f(load<double>(a));
    case Kind::Currency:
        return f(load<BiCurrency>(a));
    case Kind::String:
        return f(take_string(a, temp));
    default:
        return f(take_variant(a));
    }
}

struct ToInteger {
    int16_t operator()(int16_t v) { return v; }
    int16_t operator()(int32_t v) { return rt::to_i2(v); }
    template <typename T> int16_t operator()(T v) { return rt::to_i2(v); }
};
struct ToLong {
    int32_t operator()(int16_t v) { return v; }
    int32_t operator()(int32_t v) { return v; }
    template <typename T> int32_t operator()(T v) { return rt::to_i4(v); }
};
struct ToSingle {
    float operator()(int16_t v) { return v; }
    float operator()(int32_t v) { return static_cast<float>(v); }
    float operator()(float v) { return v; }
    template <typename T> float operator()(T v) { return rt::to_r4(v); }
};
struct ToDouble {
    double operator()(int16_t v) { return v; }
    double operator()(int32_t v) { return v; }
    double operator()(float v) { return v; }
    double operator()(double v) { return v; }
    template <typename T> double operator()(T v) { return rt::to_r8(v); }
};
struct ToCurrency {
    BiCurrency operator()(int16_t v) { return rt::to_cy(int32_t{v}); }
    BiCurrency operator()(int32_t v) { return rt::to_cy(v); }
    BiCurrency operator()(float v) { return rt::to_cy(double{v}); }
    BiCurrency operator()(double v) { return rt::to_cy(v); }
    BiCurrency operator()(BiCurrency v) { return v; }
    template <typename T> BiCurrency operator()(T v) { return rt::to_cy(v); }
};
struct ToString {
    BiString operator()(BiString v) { return v; }
    template <typename T> BiString operator()(T v) { return rt::to_str(v); }
};
struct ToVariant {
    VARIANT operator()(VARIANT v) { return v; }
    template <typename T> VARIANT operator()(T v) { return rt::to_var(v); }
};

} // namespace

void convert(uint8_t kinds, void *d, void *a, bool temp) {
    Kind from = static_cast<Kind>(kinds >> 4), to = static_cast<Kind>(kinds & 15);
    switch (to) {
    case Kind::Integer:
        save(d, with_value(from, a, temp, ToInteger{}));
        return;
    case Kind::Long:
        save(d, with_value(from, a, temp, ToLong{}));
        return;
    case Kind::Single:
        save(d, with_value(from, a, temp, ToSingle{}));
        return;
    case Kind::Double:
        save(d, with_value(from, a, temp, ToDouble{}));
        return;
    case Kind::Currency:
        save(d, with_value(from, a, temp, ToCurrency{}));
        return;
    case Kind::String:
        save(d, with_value(from, a, temp, ToString{}));
        return;
    default:
        save(d, with_value(from, a, temp, ToVariant{}));
        return;
    }
}

int16_t to_boolean(Kind k, void *a, bool temp) {
    return with_value(k, a, temp, [](auto v) -> int16_t {
        using T = decltype(v);
        if constexpr (std::is_same_v<T, int16_t>)
            return rt::to_bool(int32_t{v});
        else if constexpr (std::is_same_v<T, float>)
            return rt::to_bool(double{v});
        else
            return rt::to_bool(v);
    });
}

bool truth_of(Kind k, void *a, bool temp) {
    switch (k) {
    case Kind::Integer:
        return load<int16_t>(a) != 0;
    case Kind::Long:
        return load<int32_t>(a) != 0;
    case Kind::Single:
        return load<float>(a) != 0;
    case Kind::Double:
        return load<double>(a) != 0;
    case Kind::Currency:
        return load<BiCurrency>(a) != 0;
    case Kind::String:
        return rt::is_true(take_string(a, temp));
    default:
        return rt::is_true(take_variant(a));
    }
}

namespace {

template <typename T> void arithmetic_of(Op op, void *d, const void *pa, const void *pb) {
    T a = load<T>(pa), b = load<T>(pb);
    switch (op) {
    case Op::Add:
        save(d, rt::add(a, b));
        return;
    case Op::Sub:
        save(d, rt::sub(a, b));
        return;
    case Op::Mul:
        save(d, rt::mul(a, b));
        return;
    case Op::Neg:
        save(d, rt::negate(a));
        return;
    default:
        break;
    }
    if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
        if (op == Op::Div) save(d, rt::divide(a, b));
        if (op == Op::Pow) save(d, static_cast<T>(rt::power(a, b)));
    }
    if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>) {
        if (op == Op::IntDiv) save(d, rt::int_divide(a, b));
        if (op == Op::Mod) save(d, rt::modulo(a, b));
    }
}

} // namespace

void arithmetic(Op op, Kind k, void *d, const void *a, const void *b) {
    switch (k) {
    case Kind::Integer:
        return arithmetic_of<int16_t>(op, d, a, b);
    case Kind::Long:
        return arithmetic_of<int32_t>(op, d, a, b);
    case Kind::Single:
        return arithmetic_of<float>(op, d, a, b);
    case Kind::Double:
        return arithmetic_of<double>(op, d, a, b);
    default:
        return arithmetic_of<BiCurrency>(op, d, a, b);
    }
}

int16_t compare_values(Kind k, uint32_t condition, void *a, void *b, bool temp_a, bool temp_b) {
    bool r = false;
    switch (k) {
    case Kind::Integer:
        r = holds(condition, load<int16_t>(a), load<int16_t>(b));
        break;
    case Kind::Long:
        r = holds(condition, load<int32_t>(a), load<int32_t>(b));
        break;
    case Kind::Single:
        r = holds(condition, load<float>(a), load<float>(b));
        break;
    case Kind::Double:
        r = holds(condition, load<double>(a), load<double>(b));
        break;
    case Kind::Currency:
        r = holds(condition, rt::compare_currency(load<BiCurrency>(a), load<BiCurrency>(b)), 0);
        break;
    default: {
        BiString sa = take_string(a, temp_a);
        BiString sb = take_string(b, temp_b);
        r = holds(condition & 0xFF, rt::compare(sa, sb, (condition & 0x100) != 0), 0);
        break;
    }
    }
    return rt::truth(r);
}

int32_t bits_of(Kind k, const void *a) {
    switch (k) {
    case Kind::Integer:
        return load<int16_t>(a);
    case Kind::Long:
        return load<int32_t>(a);
    case Kind::Single:
        return rt::to_bits(load<float>(a));
    case Kind::Double:
        return rt::to_bits(load<double>(a));
    default:
        return rt::to_bits(load<BiCurrency>(a));
    }
}

void print_value(Kind k, void *a, bool temp) {
    with_value(k, a, temp, [](auto v) { rt::print_item(v); });
}

void file_print_value(int16_t number, Kind k, void *a, bool temp) {
    with_value(k, a, temp, [number](auto v) { rt::file_print_item(number, v); });
}

} // namespace brtl::basic
