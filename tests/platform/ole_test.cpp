// The OLE Automation subset: BSTR layout, Variant clear and copy, reference counting.
#include <cstring>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class OleTest : public RuntimeTest {};

// A counted object with the AddRef/Release table that VT_DISPATCH and VT_UNKNOWN refer to.
struct CountedObject {
    BrtlUnknown base;
    int refs;
};
HRESULT query(void *, const void *, void **) {
    return E_FAIL;
}
uint32_t add_ref(void *self) {
    return ++static_cast<CountedObject *>(self)->refs;
}
uint32_t release(void *self) {
    return --static_cast<CountedObject *>(self)->refs;
}
const BrtlUnknownVtbl kTable = {query, add_ref, release};

} // namespace

// A BSTR: a byte count before its units and a NUL unit after them; embedded NULs kept, no
// text allowed; null for a null text, for no memory and for a length beyond the byte count.
TEST_F(OleTest, BstrLayoutAndAllocation) {
    const OLECHAR text[] = {'a', 0, 'b', 0};
    BSTR b = SysAllocString(text + 2);
    ASSERT_NE(b, nullptr);
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char *>(b) - 4, 4);
    EXPECT_EQ(prefix, 2u);
    EXPECT_EQ(SysStringLen(b), 1u);
    EXPECT_EQ(b[1], 0);
    SysFreeString(b);
    b = SysAllocStringLen(text, 3);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(b[2], 'b');
    SysFreeString(b);
    b = SysAllocStringLen(nullptr, 5);
    EXPECT_EQ(SysStringLen(b), 5u);
    EXPECT_EQ(b[5], 0);
    SysFreeString(b);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    fail_allocations_after(0);
    EXPECT_EQ(SysAllocStringLen(nullptr, 1), nullptr);
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x7FFFFFFF), nullptr); // beyond the byte count
}

TEST_F(OleTest, CopyDuplicatesTheStringAndReleasesTheOldDestinationOrLeavesItEmpty) {
    BlockBalance balance;
    VARIANT src = bstr_variant("source");
    VARIANT dst = bstr_variant("old");
    EXPECT_EQ(VariantCopy(&dst, &src), S_OK);
    EXPECT_NE(dst.bstrVal, src.bstrVal);
    EXPECT_EQ(ascii_of(dst.bstrVal), "source");
    EXPECT_EQ(VariantCopy(&dst, &dst), S_OK); // copying onto itself changes nothing
    VariantClear(&src);
    VariantClear(&dst);
    EXPECT_EQ(dst.vt, VT_EMPTY);
    // Without memory the destination is left Empty.
    src = bstr_variant("source");
    dst = i4(5);
    fail_allocations_after(0);
    EXPECT_EQ(VariantCopy(&dst, &src), E_OUTOFMEMORY);
    EXPECT_EQ(dst.vt, VT_EMPTY);
    VariantClear(&src);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(OleTest, ObjectsAreReferenceCountedAndUnknownTypesRejected) {
    CountedObject object{{&kTable}, 1};
    VARIANT src{};
    src.vt = VT_DISPATCH;
    src.pdispVal = &object.base;
    VARIANT dst{};
    VariantCopy(&dst, &src);
    EXPECT_EQ(object.refs, 2);
    VariantClear(&dst);
    EXPECT_EQ(object.refs, 1);
    src.vt = VT_UNKNOWN;
    VariantClear(&src);
    EXPECT_EQ(object.refs, 0);
    // Unknown types are rejected; clearing a reference releases nothing.
    VARIANT v{};
    v.vt = 99;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    EXPECT_EQ(v.vt, 99);
    EXPECT_EQ(VariantCopy(&dst, &v), DISP_E_BADVARTYPE);
    VARIANT inner = bstr_variant("mine");
    VARIANT ref{};
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &inner.bstrVal;
    EXPECT_EQ(VariantClear(&ref), S_OK);
    EXPECT_EQ(ascii_of(inner.bstrVal), "mine");
    VariantClear(&inner);
}

TEST_F(OleTest, CopyIndReadsThroughReferences) {
    int32_t value = 42;
    VARIANT ref{};
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &value;
    VARIANT dst{};
    EXPECT_EQ(VariantCopyInd(&dst, &ref), S_OK);
    EXPECT_EQ(dst.vt, VT_I4);
    EXPECT_EQ(dst.lVal, 42);

    VARIANT inner = bstr_variant("inner");
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &inner;
    EXPECT_EQ(VariantCopyInd(&dst, &ref), S_OK);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(dst.bstrVal), "inner");
    EXPECT_NE(dst.bstrVal, inner.bstrVal);

    double d = 2.5;
    VARIANT self{};
    self.vt = VT_BYREF | VT_R8;
    self.pdblVal = &d;
    EXPECT_EQ(VariantCopyInd(&self, &self), S_OK); // in place
    EXPECT_EQ(self.vt, VT_R8);
    EXPECT_EQ(self.dblVal, 2.5);
    VariantClear(&dst);
    VariantClear(&inner);
}

TEST_F(OleTest, HostObjectSubtypeCountsInTheLow26BitsOfWord28) {
    unsigned char object[32] = {};
    uint32_t word = 0xFC000000u | 0x03FFFFFFu; // host bits set, count at its maximum
    std::memcpy(object + 28, &word, 4);
    VARIANT v{};
    v.vt = VT_HOST_OBJECT;
    v.byref = object;
    VARIANT copy{};
    EXPECT_EQ(BiXVariantCopy(&copy, &v), S_OK);
    std::memcpy(&word, object + 28, 4);
    EXPECT_EQ(word, 0xFC000000u); // the count wrapped within its 26 bits
    EXPECT_EQ(copy.vt, VT_HOST_OBJECT);
    EXPECT_EQ(BiXVariantClear(&copy), S_OK);
    EXPECT_EQ(copy.vt, VT_EMPTY);
    std::memcpy(&word, object + 28, 4);
    EXPECT_EQ(word, 0xFC000000u | 0x03FFFFFFu);

    VARIANT fresh;
    fresh.vt = 0xBEEF; // uninitialised storage
    EXPECT_EQ(ZbiVariantCopyNoClear_(&fresh, &v), S_OK);
    std::memcpy(&word, object + 28, 4);
    EXPECT_EQ(word & 0x03FFFFFFu, 0u);
    BiXVariantClear(&fresh);
}

TEST_F(OleTest, LibraryCopyReleasesWhatTheDestinationHeld) {
    BlockBalance balance;
    VARIANT dst = bstr_variant("held");
    VARIANT src = i2(3);
    EXPECT_EQ(BiXVariantCopy(&dst, &src), S_OK);
    EXPECT_EQ(dst.vt, VT_I2);
    VARIANT ref{};
    int16_t value = 9;
    ref.vt = VT_BYREF | VT_I2;
    ref.piVal = &value;
    EXPECT_EQ(BiXVariantCopyInd(&dst, &ref), S_OK);
    EXPECT_EQ(dst.iVal, 9);
    EXPECT_EQ(balance.delta(), 0);
}
