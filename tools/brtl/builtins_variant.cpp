// The Variant predicates and selection builtins.
#include "builtins.h"

namespace brtl_host {
namespace {

// The truth test of IIf and Switch takes numbers, strings, Empty and Null; a Boolean condition
// is handed over as the Integer it stands for (-1 or 0), as translated code does.
void boolean_as_integer(Call &c, size_t i) {
    if (c.arg(i).vt() == VT_BOOL) c.args[i] = change_type(c.arg(i), VT_I2);
}

template <VARIANT_BOOL (*F)(VARIANT)> void predicate(Call &c) {
    c.ret_bool(F(c.take(0)));
}

void iif(Call &c) {
    c.reject_arrays();
    boolean_as_integer(c, 0);
    ZbiBuiltIn_IIf(c.out(), c.take(0), c.take(1), c.take(2));
}

// Choose and Switch read their lists downward in memory: item k lies at first - k.
std::vector<VARIANT> downward_list(Call &c, size_t from) {
    std::vector<VARIANT> list;
    for (size_t i = c.count(); i-- > from;)
        list.push_back(c.take(i));
    return list;
}

void choose(Call &c) {
    c.reject_arrays();
    int16_t index = c.i16(0);
    std::vector<VARIANT> list = downward_list(c, 1);
    int16_t count = static_cast<int16_t>(list.size());
    ZbiBuiltIn_Choose(c.out(), count, index, list.data() + list.size() - 1);
}

void switch_(Call &c) {
    c.reject_arrays();
    if (c.count() % 2 != 0) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    for (size_t i = 0; i < c.count(); i += 2)
        boolean_as_integer(c, i);
    std::vector<VARIANT> list = downward_list(c, 0);
    BiBuiltIn_Switch(c.out(), static_cast<int16_t>(list.size()), list.data() + list.size() - 1);
}

void partition(Call &c) {
    c.reject_arrays();
    ZbiBuiltIn_Partition(c.out(), c.take(0), c.take(1), c.take(2), c.take(3));
}

void is_numeric(Call &c) {
    c.ret_bool(ZbiBuiltIn_IsNumeric(c.take(0)));
}

} // namespace

const BuiltinTable &variant_builtins() {
    static const BuiltinTable rows = {
        {"IsEmpty", "ZbiBuiltIn_IsEmpty", 1, 1, predicate<ZbiBuiltIn_IsEmpty>},
        {"IsNull", "ZbiBuiltIn_IsNull", 1, 1, predicate<ZbiBuiltIn_IsNull>},
        {"IsError", "ZbiBuiltIn_IsError", 1, 1, predicate<ZbiBuiltIn_IsError>},
        {"IsDate", "ZbiBuiltIn_IsDate", 1, 1, predicate<ZbiBuiltIn_IsDate>},
        {"IsNumeric", "ZbiBuiltIn_IsNumeric", 1, 1, is_numeric},
        {"IIf", "ZbiBuiltIn_IIf", 3, 3, iif},
        {"Choose", "ZbiBuiltIn_Choose", 2, 127, choose},
        {"Switch", "BiBuiltIn_Switch", 2, 126, switch_},
        {"Partition", "ZbiBuiltIn_Partition", 4, 4, partition},
    };
    return rows;
}

} // namespace brtl_host
