// A function the checked form calls by its C signature: a library export or a host routine. The
// interpreter calls it through invoke(), with a pointer to each argument's storage; the
// translator prints a call of cname. The signature is read off the C++ function type.
#pragma once

#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "brtl/brtl.h"
#include "services/storage.h"

namespace brtl::basic {

// The C types of parameters and results.
enum class CType : uint8_t {
    Void,
    I2,     // int16_t (also a 16-bit Boolean)
    I4,     // int32_t
    R4,     // float
    R8,     // double
    CY,     // BiCurrency
    U8,     // uint8_t (an 8-bit Boolean or flag)
    Str,    // BiString by value: a temporary argument is the callee's
    Var,    // VARIANT by value: the callee's
    VarOut, // VARIANT *: the result, written by the callee (the first parameter)
    VarRef, // VARIANT *: a variable the callee reads or changes
    StrRef, // BiString *: a String variable the callee changes
    CText,  // const char *: the text of a String argument, which the caller keeps
    Addr,   // void *: the address of an argument of any type (Format's value, a record)
};

// The kind of storage a C type is read from or written to.
inline rt::Kind kind_of(CType t) {
    switch (t) {
    case CType::I2:
    case CType::U8:
        return rt::Kind::Integer;
    case CType::I4:
        return rt::Kind::Long;
    case CType::R4:
        return rt::Kind::Single;
    case CType::R8:
        return rt::Kind::Double;
    case CType::CY:
        return rt::Kind::Currency;
    case CType::Str:
    case CType::StrRef:
    case CType::CText:
        return rt::Kind::String;
    default:
        return rt::Kind::Variant;
    }
}

constexpr int kMaxCallableParams = 8;

struct Callable {
    const char *cname;
    CType result;
    uint8_t count;
    CType params[kMaxCallableParams];
    // args[i] points at the storage of argument i (for VarOut, VarRef and StrRef the variable
    // itself); result at the storage of the result.
    void (*invoke)(void *const *args, void *result);
};

namespace detail {

template <typename T> constexpr CType ctype_of() {
    if constexpr (std::is_same_v<T, void>)
        return CType::Void;
    else if constexpr (std::is_same_v<T, int16_t>)
        return CType::I2;
    else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>)
        return CType::I4;
    else if constexpr (std::is_same_v<T, float>)
        return CType::R4;
    else if constexpr (std::is_same_v<T, double>)
        return CType::R8;
    else if constexpr (std::is_same_v<T, int64_t>)
        return CType::CY;
    else if constexpr (std::is_same_v<T, uint8_t>)
        return CType::U8;
    else if constexpr (std::is_same_v<T, BiString>)
        return CType::Str;
    else if constexpr (std::is_same_v<T, VARIANT>)
        return CType::Var;
    else if constexpr (std::is_same_v<T, VARIANT *>)
        return CType::VarRef;
    else if constexpr (std::is_same_v<T, BiString *>)
        return CType::StrRef;
    else if constexpr (std::is_same_v<T, const char *>)
        return CType::CText;
    else if constexpr (std::is_same_v<T, const void *> || std::is_same_v<T, void *>)
        return CType::Addr;
    else
        static_assert(sizeof(T) == 0, "a parameter type the checked form cannot pass");
}

// An argument from its storage: a pointer parameter gets the storage's address (a const char *
// the text of the String stored there), anything else the value.
template <typename A> A arg(void *p) {
    if constexpr (std::is_same_v<A, const char *>)
        return static_cast<BiString *>(p)->data;
    else if constexpr (std::is_pointer_v<A>)
        return static_cast<A>(p);
    else
        return *static_cast<A *>(p);
}

template <auto F> struct Traits;
template <typename R, typename... A, R (*F)(A...)> struct Traits<F> {
    static_assert(sizeof...(A) <= kMaxCallableParams);
    static void invoke(void *const *args, void *result) {
        call(args, result, std::index_sequence_for<A...>{});
    }
    template <size_t... I>
    static void call(void *const *args, void *result, std::index_sequence<I...>) {
        if constexpr (std::is_void_v<R> || std::is_pointer_v<R>) {
            (void)result;
            F(arg<A>(args[I])...);
        } else {
            *static_cast<R *>(result) = F(arg<A>(args[I])...);
        }
    }
    // A VARIANT * first parameter with a VARIANT * result is the result of the call.
    static constexpr Callable make(const char *cname) {
        Callable c{cname,
                   ctype_of<std::conditional_t<std::is_pointer_v<R>, void, R>>(),
                   static_cast<uint8_t>(sizeof...(A)),
                   {},
                   &invoke};
        CType list[] = {ctype_of<A>()..., CType::Void};
        for (size_t i = 0; i < sizeof...(A); ++i)
            c.params[i] = list[i];
        if constexpr (std::is_same_v<R, VARIANT *>) c.params[0] = CType::VarOut;
        return c;
    }
};

} // namespace detail

// The callable of a function: BRTL_CALLABLE(ZbiBuiltIn_Left_).
template <auto F> const Callable &callable_of(const char *cname) {
    static const Callable c = detail::Traits<F>::make(cname);
    return c;
}
#define BRTL_CALLABLE(f) (::brtl::basic::callable_of<&f>(#f))

} // namespace brtl::basic
