// The OLE Automation subset of oleaut32 under the library's own names and types (brtl/platform.h
// maps the OLE names to these inside the library). Each allocation can be made to fail by the
// switch of platform/memory.h, and the strings the Variants own are counted among the live
// blocks, as every other allocation of the library.
#include <windows.h>

#include <oleauto.h> // after windows.h, whose types it uses

#include <cstdint>

#include "platform/memory.h"

namespace {

// The library's OLE types: the same layout as the system's.
using LibraryChar = uint16_t;
using LibraryBstr = uint16_t *;
struct LibraryVariant;

const WCHAR *wide(const LibraryChar *p) {
    return reinterpret_cast<const WCHAR *>(p);
}
LibraryBstr library(BSTR b) {
    return reinterpret_cast<LibraryBstr>(b);
}
BSTR system(LibraryBstr b) {
    return reinterpret_cast<BSTR>(b);
}
VARIANTARG *system(LibraryVariant *v) {
    return reinterpret_cast<VARIANTARG *>(v);
}
// The system declares the sources of its copies and conversions without const.
VARIANTARG *system(const LibraryVariant *v) {
    return reinterpret_cast<VARIANTARG *>(const_cast<LibraryVariant *>(v));
}

// A copy of the Variant allocates when it holds a string (directly or by reference).
bool copy_allocates(const VARIANTARG *v, bool indirect) {
    if (V_VT(v) == VT_BSTR) return V_BSTR(v) != nullptr;
    if (indirect && V_VT(v) == (VT_BSTR | VT_BYREF)) return V_BSTRREF(v) != nullptr;
    if (indirect && V_VT(v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(v) != nullptr)
        return copy_allocates(V_VARIANTREF(v), false);
    return false;
}

// The number of strings the Variant owns (0 or 1).
long owned_strings(const VARIANTARG *v) {
    return V_VT(v) == VT_BSTR && V_BSTR(v) != nullptr ? 1 : 0;
}

// Counts what an operation on dst (and on src, when it is another Variant) allocated or released
// of the strings they own.
class StringCount {
  public:
    StringCount(const VARIANTARG *dst, const VARIANTARG *src)
        : dst_(dst), src_(src == dst ? nullptr : src), before_(owned()) {}
    StringCount(const StringCount &) = delete;
    StringCount &operator=(const StringCount &) = delete;
    ~StringCount() { brtl::platform::count_system_blocks(owned() - before_); }

  private:
    long owned() const { return owned_strings(dst_) + (src_ ? owned_strings(src_) : 0); }
    const VARIANTARG *dst_;
    const VARIANTARG *src_;
    long before_;
};

// A copy that ran out of memory: the destination is cleared first, as the system's copy does.
HRESULT failed_copy(VARIANTARG *dst) {
    VariantClear(dst);
    return E_OUTOFMEMORY;
}

LibraryBstr counted(BSTR b) {
    if (b != nullptr) brtl::platform::count_system_blocks(1);
    return library(b);
}

} // namespace

extern "C" {

LibraryBstr brtl_SysAllocString(const LibraryChar *text) {
    if (text == nullptr || brtl::platform::allocation_fails()) return nullptr;
    return counted(SysAllocString(wide(text)));
}

LibraryBstr brtl_SysAllocStringLen(const LibraryChar *text, uint32_t len) {
    if (brtl::platform::allocation_fails()) return nullptr;
    return counted(SysAllocStringLen(wide(text), len));
}

void brtl_SysFreeString(LibraryBstr b) {
    if (b != nullptr) brtl::platform::count_system_blocks(-1);
    SysFreeString(system(b));
}

uint32_t brtl_SysStringLen(LibraryBstr b) {
    return SysStringLen(system(b));
}

void brtl_VariantInit(LibraryVariant *v) {
    VariantInit(system(v));
}

int32_t brtl_VariantClear(LibraryVariant *v) {
    StringCount count(system(v), nullptr);
    return VariantClear(system(v));
}

int32_t brtl_VariantCopy(LibraryVariant *dst, const LibraryVariant *src) {
    StringCount count(system(dst), system(src));
    if (copy_allocates(system(src), false) && brtl::platform::allocation_fails())
        return failed_copy(system(dst));
    return VariantCopy(system(dst), system(src));
}

int32_t brtl_VariantCopyInd(LibraryVariant *dst, const LibraryVariant *src) {
    StringCount count(system(dst), system(src));
    if (copy_allocates(system(src), true) && brtl::platform::allocation_fails())
        return failed_copy(system(dst));
    return VariantCopyInd(system(dst), system(src));
}

int32_t brtl_VariantChangeType(LibraryVariant *dst, const LibraryVariant *src, uint16_t flags,
                               uint16_t vt) {
    if (vt == VT_BSTR && brtl::platform::allocation_fails()) return E_OUTOFMEMORY;
    StringCount count(system(dst), system(src));
    return VariantChangeType(system(dst), system(src), flags, vt);
}

} // extern "C"

namespace brtl::platform {

// Grows a BSTR by n units through the system's reallocation (platform/bstr.h declares it with
// the library's types, which these are).
uint16_t *append_units(uint16_t *b, const uint16_t *units, uint32_t n) {
    uint32_t length = SysStringLen(system(b));
    if (n > (UINT32_MAX - 8) / 2 - length || allocation_fails()) return nullptr;
    BSTR grown = system(b);
    // The string is its own source, so its units stay where the reallocation moves them.
    if (!SysReAllocStringLen(&grown, grown, length + n)) return nullptr;
    for (uint32_t i = 0; i < n; ++i)
        grown[length + i] = static_cast<WCHAR>(units[i]);
    return library(grown);
}

} // namespace brtl::platform
