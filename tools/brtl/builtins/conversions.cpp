// The conversion functions, numeric functions and type questions of the language.
#include "lang/builtins.h"
#include "services/language.h"

namespace brtl::basic {

namespace {
constexpr uint8_t kind(rt::Kind k) {
    return static_cast<uint8_t>(k);
}
constexpr uint8_t kToBoolean = 255;
constexpr uint8_t kToDate = 254;
} // namespace

const BuiltinTable &conversion_builtins() {
    static const BuiltinTable rows = {
        {"CInt", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::Integer)},
        {"CLng", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::Long)},
        {"CSng", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::Single)},
        {"CDbl", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::Double)},
        {"CCur", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::Currency)},
        {"CStr", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::String)},
        {"CVar", 1, 1, nullptr, "", nullptr, Special::Convert, kind(rt::Kind::Variant)},
        {"CBool", 1, 1, nullptr, "", nullptr, Special::Convert, kToBoolean},
        {"CDate", 1, 1, nullptr, "", nullptr, Special::Convert, kToDate},
        {"Abs", 1, 1, &BRTL_CALLABLE(brtl::rt::abs_of_variant)},
        {"Sgn", 1, 1, &BRTL_CALLABLE(brtl::rt::sgn_of_variant)},
        {"Int", 1, 1, &BRTL_CALLABLE(brtl::rt::int_of_variant)},
        {"Fix", 1, 1, &BRTL_CALLABLE(brtl::rt::fix_of_variant)},
        {"Round", 1, 2, &BRTL_CALLABLE(brtl::rt::round_variant), "0,1=0"},
        {"VarType", 1, 1, nullptr, "", nullptr, Special::VarType},
        {"IsMissing", 1, 1, &BRTL_CALLABLE(brtl::rt::is_missing), "", nullptr, Special::IsMissing},
        {"LBound", 1, 2, nullptr, "", nullptr, Special::Bound, 0},
        {"UBound", 1, 2, nullptr, "", nullptr, Special::Bound, 1},
        {"Array", 0, 127, nullptr, "", nullptr, Special::Array},
    };
    return rows;
}

} // namespace brtl::basic
