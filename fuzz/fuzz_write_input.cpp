// Differential: up to four arbitrary Variants written by Write # come back from Input # as the
// same values: numbers to the precision of their written text (seven digits for a Single,
// fifteen for a Double, exact for the integer subtypes and Currency), Dates to the second, strings
// exactly, Null as Null, Empty and Booleans (written as empty fields) as Empty. A difference
// aborts with the line. The file format has no escape for a double quote inside a quoted string,
// so strings here hold none; a value Write # refuses with a trap ends the comparison. A Single or
// Double that is no finite number is written in the platform's text ("1.#INF", "1.#QNAN"), which
// no reader takes back as that value: such numbers are not compared.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fuzz_files.h"

namespace {

constexpr int kMaxItems = 4;

// Replaces each double quote of a String Variant by an apostrophe.
void drop_quotes(VARIANT &v) {
    if (v.vt != VT_BSTR || v.bstrVal == nullptr) return;
    for (uint32_t i = 0, n = SysStringLen(v.bstrVal); i < n; ++i)
        if (v.bstrVal[i] == u'"') v.bstrVal[i] = u'\'';
}

bool is_number(VARTYPE vt) {
    return vt == VT_I2 || vt == VT_I4 || vt == VT_R4 || vt == VT_R8 || vt == VT_CY;
}

long double number_of(const VARIANT &v) {
    switch (v.vt) {
    case VT_I2:
        return v.iVal;
    case VT_I4:
        return v.lVal;
    case VT_R4:
        return v.fltVal;
    case VT_R8:
        return v.dblVal;
    default:
        return static_cast<long double>(v.cyVal) / 10000;
    }
}

// The relative error the written text of a number of this subtype may carry.
long double text_precision(VARTYPE vt) {
    return vt == VT_R4 ? 1e-6L : vt == VT_R8 ? 1e-14L : 0.0L;
}

// A Date as a plain count of days: a serial's day is its whole part and its time of day the
// absolute value of its fraction, so -0.5 and 0.5 are the same moment (noon of day 0).
double moment_of(double serial) {
    const double day = std::trunc(serial);
    return day + std::fabs(serial - day);
}

bool same_value(const VARIANT &written, const VARIANT &read) {
    switch (written.vt) {
    case VT_EMPTY:
    case VT_BOOL:
        return read.vt == VT_EMPTY;
    case VT_NULL:
        return read.vt == VT_NULL;
    case VT_BSTR:
        return read.vt == VT_BSTR && SysStringLen(written.bstrVal) == SysStringLen(read.bstrVal) &&
               std::equal(written.bstrVal, written.bstrVal + SysStringLen(written.bstrVal),
                          read.bstrVal);
    case VT_DATE:
        return read.vt == VT_DATE &&
               std::fabs(moment_of(written.date) - moment_of(read.date)) <= 1.0 / 86400;
    case VT_R4:
    case VT_R8:
        if (!std::isfinite(static_cast<double>(number_of(written)))) return true;
        [[fallthrough]];
    default: {
        if (!is_number(read.vt)) return false;
        const long double a = number_of(written), b = number_of(read);
        return std::fabs(a - b) <= std::fabs(a) * text_precision(written.vt);
    }
    }
}

void write_line(const std::string &path, VARIANT *values, int count) {
    int16_t codes[kMaxItems];
    void *items[2 * kMaxItems];
    for (int i = 0; i < count; ++i) {
        codes[i] = BI_TYPE_VARIANT;
        items[2 * i] = &codes[i];
        items[2 * i + 1] = &values[i];
    }
    fuzz::open_file(path, BI_FILE_MODE_OUTPUT, 1);
    ZbiBuiltIn_Write(1, count, items); // consumes the Variants
    fuzz::close_file(1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    uint8_t selector = in.byte();
    fuzz::use_code_page(selector);
    const int count = 1 + selector % kMaxItems;
    VARIANT values[kMaxItems], originals[kMaxItems], read[kMaxItems];
    for (int i = 0; i < count; ++i) {
        values[i] = fuzz::any_variant(in);
        drop_quotes(values[i]);
        VariantInit(&originals[i]);
        BiXVariantCopy(&originals[i], &values[i]);
        VariantInit(&read[i]);
    }
    static const std::string path = fuzz::scratch_file("written.txt");
    const long traps_before = fuzz::traps_raised;
    write_line(path, values, count);
    const bool written = fuzz::traps_raised == traps_before;
    fuzz::open_file(path, BI_FILE_MODE_INPUT, 1);
    for (int i = 0; i < count; ++i)
        ZbiBuiltIn_Input(1, 1, BI_TYPE_VARIANT, &read[i]);
    fuzz::close_file(1);
    for (int i = 0; written && i < count; ++i) {
        if (same_value(originals[i], read[i])) continue;
        std::fprintf(stderr, "Input # read item %d of this Write # line back as subtype %d:\n%s\n",
                     i + 1, read[i].vt, fuzz::read_bytes(path).c_str());
        std::abort();
    }
    for (int i = 0; i < count; ++i) {
        BiXVariantClear(&originals[i]);
        BiXVariantClear(&read[i]);
    }
    return 0;
}
