#include "convert.h"

#include <cstring>

namespace brtl_host {

void Value::copy_from(const VARIANT &src) {
    if (VariantCopy(&v_, &src) != S_OK) throw BasicTrap{BI_TRAP_OUT_OF_MEMORY};
}

namespace {
void reject_array(const Value &v) {
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
}
} // namespace

Value change_type(const Value &v, VARTYPE vt) {
    reject_array(v);
    Value src = v;
    Value dst;
    ZbiVariantChangeTypeAndTrap(dst.get(), src.get(), vt);
    return dst;
}

int32_t to_i32(const Value &v) {
    return change_type(v, VT_I4).variant().lVal;
}
int16_t to_i16(const Value &v) {
    return change_type(v, VT_I2).variant().iVal;
}
double to_double(const Value &v) {
    return change_type(v, VT_R8).variant().dblVal;
}

BiString to_bistring(const Value &v) {
    reject_array(v);
    Value copy = v;
    if (copy.vt() == VT_NULL) throw BasicTrap{BI_TRAP_INVALID_USE_OF_NULL};
    return ZbiEvalCvtVS(copy.release(), 1);
}

void free_bistring(BiString s) {
    if (BiStringLength(s) != 0 && BiStringIsTemporary(s)) ZbiFreeBiString(s);
}

std::string to_text(const Value &v) {
    BiString s = to_bistring(v);
    std::string out(s.data, BiStringLength(s));
    free_bistring(s);
    return out;
}

Value from_bistring(BiString s) {
    Value out;
    ZbiEvalCvtSV(out.get(), s);
    return out;
}

Value from_text(const std::string &text) {
    if (text.size() > BI_STRING_LENGTH_MASK) throw BasicTrap{BI_TRAP_OUT_OF_STRING_SPACE};
    uint32_t n = static_cast<uint32_t>(text.size());
    if (n == 0) {
        BiString empty = {const_cast<char *>(""), 0};
        return from_bistring(empty);
    }
    BiString s = ZbiAllocBiString(n);
    if (s.data == nullptr) throw BasicTrap{BI_TRAP_OUT_OF_MEMORY};
    std::memcpy(s.data, text.data(), n);
    s.data[n] = '\0';
    s.length_word = n | BI_STRING_TEMP_FLAG;
    return from_bistring(s);
}

Value from_double(double d) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = d;
    return Value::adopt(v);
}

Value from_i2(int16_t n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = n;
    return Value::adopt(v);
}

Value from_i4(int32_t n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return Value::adopt(v);
}

Value from_bool(bool b) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = b ? -1 : 0;
    return Value::adopt(v);
}

std::vector<double> to_doubles(const Value &v) {
    std::vector<double> out;
    if (!v.is_array()) {
        out.push_back(to_double(v));
        return out;
    }
    out.reserve(v.elements().size());
    for (const Value &e : v.elements())
        out.push_back(to_double(e));
    return out;
}

bool is_true(const Value &v) {
    reject_array(v);
    Value copy = v;
    if (copy.vt() == VT_NULL) return false;
    return ZbiVariantIsZero(copy.get()) == 0;
}

} // namespace brtl_host
