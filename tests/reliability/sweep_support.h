// What the failure sweeps share: Variants and string variables that free themselves however a
// call ends, the text of a Variant read without the library, and files of the scratch directory
// (with the file suites' field lists and descriptor count).
#pragma once

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "fileio/file_test.h"
#include "harness/harness.h"

namespace brtl_test::sweep {

// A Variant the test owns for an in-place call; cleared however the call ends.
struct Held {
    VARIANT v;
    explicit Held(VARIANT value) : v(value) {}
    Held() { VariantInit(&v); }
    ~Held() { VariantClear(&v); }
    Held(const Held &) = delete;
    Held &operator=(const Held &) = delete;
};

// The subtype and value of a Variant as text, read without the library's conversions.
inline std::string show(VARIANT &v) {
    std::ostringstream out;
    out << "vt" << v.vt << ":";
    switch (v.vt) {
    case VT_BSTR:
        out << ascii_of(v.bstrVal);
        break;
    case VT_I2:
        out << v.iVal;
        break;
    case VT_I4:
        out << v.lVal;
        break;
    case VT_R4:
        out << v.fltVal;
        break;
    case VT_R8:
        out << v.dblVal;
        break;
    case VT_DATE:
        out << v.date;
        break;
    case VT_BOOL:
        out << v.boolVal;
        break;
    case VT_CY:
        out << v.cyVal;
        break;
    case VT_ERROR:
        out << v.scode;
        break;
    default:
        break;
    }
    VariantClear(&v);
    return out.str();
}

// A file of the scratch directory as bytes.
inline std::string file_bytes(const char *name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void make_file(const char *name, const std::string &bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

inline void open_file(const char *name, int16_t mode, int16_t number) {
    ZbiBuiltIn_Open(temp(name), mode, BI_FILE_ACCESS_DEFAULT, BI_FILE_LOCK_DEFAULT, number, -1);
}

// A string variable that a statement fills; it owns its text, freed however the call ends.
struct StringVariable {
    BiString s{};
    ~StringVariable() {
        if (BiStringLength(s) != 0) ZbiFreeBiString(s);
    }
    std::string text() const { return text_of(s); }
};

} // namespace brtl_test::sweep
