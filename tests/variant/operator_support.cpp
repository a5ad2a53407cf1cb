#include "variant/operator_support.h"

namespace brtl_test {

namespace {

HRESULT query_interface(void *, const void *, void **out) {
    *out = nullptr;
    return E_FAIL;
}
uint32_t add_ref(void *self) {
    auto *object = reinterpret_cast<CountedObject *>(self);
    return static_cast<uint32_t>(++object->references);
}
uint32_t release_ref(void *self) {
    auto *object = reinterpret_cast<CountedObject *>(self);
    return static_cast<uint32_t>(--object->references);
}
const BrtlUnknownVtbl kCountedVtbl = {query_interface, add_ref, release_ref};

} // namespace

CountedObject::CountedObject() : base{&kCountedVtbl} {}

VARIANT CountedObject::variant(VARTYPE vt) {
    VARIANT v{};
    v.vt = vt;
    v.punkVal = &base;
    ++references;
    return v;
}

VARIANT binary(int32_t op, VARIANT left, VARIANT right) {
    VARIANT result{};
    result.vt = VT_EMPTY;
    int row = op < 8 ? op : 8;
    BiVariantBinOpTable[(row * 14 + left.vt) * 14 + right.vt](op, &result, &left, &right);
    return result;
}

VARIANT unary(int op, VARIANT operand) {
    VARIANT result{};
    result.vt = VT_EMPTY;
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

} // namespace brtl_test
