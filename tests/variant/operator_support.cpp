#include "variant/operator_support.h"

namespace brtl_test {

namespace {

long double value_of(const VARIANT &v) {
    if (v.vt == VT_I2) return v.iVal;
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == VT_R4) return v.fltVal;
    if (v.vt == VT_R8 || v.vt == VT_DATE) return v.dblVal;
    if (v.vt == VT_CY) return static_cast<long double>(v.cyVal);
    if (v.vt == VT_BOOL) return v.boolVal;
    return v.vt == VT_ERROR ? v.scode : kAny;
}

} // namespace

VARIANT binary(int32_t op, VARIANT left, VARIANT right) {
    VARIANT result{};
    int row = op < 8 ? op : 8;
    BiVariantBinOpTable[(row * 14 + left.vt) * 14 + right.vt](op, &result, &left, &right);
    return result;
}

VARIANT unary(int op, VARIANT operand) {
    VARIANT result{};
    BiVariantUnOpTable[op * 14 + operand.vt](&result, &operand);
    return result;
}

void release(VARIANT &v) {
    VariantClear(&v);
}

std::string take_text(VARIANT &v) {
    std::string text = v.vt == VT_BSTR ? ascii_of(v.bstrVal) : std::string("<not a string>");
    release(v);
    return text;
}

Got got(VARIANT v, int line) {
    Got g{v, host().traps, line};
    host().traps.clear();
    return g;
}

void check(std::vector<Row> rows) {
    for (Row &r : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << r.got.line);
        EXPECT_EQ(r.got.traps, r.traps);
        const bool type_ok = r.vt == kAnyType || r.got.v.vt == r.vt;
        EXPECT_TRUE(type_ok) << "subtype " << r.got.v.vt << ", expected " << r.vt;
        if (type_ok && !std::isnan(r.value)) {
            EXPECT_EQ(value_of(r.got.v), r.value);
        }
        if (type_ok && r.text) {
            EXPECT_EQ(ascii_of(r.got.v.bstrVal), r.text);
        }
        release(r.got.v);
    }
}

} // namespace brtl_test
