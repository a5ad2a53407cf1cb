#include "files.h"

#include <cstddef>
#include <cstring>

#include "convert.h"
#include "core.h"
#include "strings.h"

namespace brtl::rt {

void file_print_comma(int16_t number) {
    ZbiBuiltIn_Print(number, 1, int{BI_PRINT_COMMA});
}
void file_print_spc(int16_t number, int32_t n) {
    ZbiBuiltIn_Print(number, 2, int{BI_PRINT_SPC}, int{to_i2(n)});
}
void file_print_tab(int16_t number, int32_t n) {
    ZbiBuiltIn_Print(number, 2, int{BI_PRINT_TAB}, int{to_i2(n)});
}
void file_print_end(int16_t number) {
    ZbiBuiltIn_Print(number, 1, int{BI_PRINT_END_OF_LINE});
}
void file_print_item(int16_t number, BiString s) {
    ZbiBuiltIn_Print(number, 2, int{BI_PRINT_TEXT}, s);
}
void file_print_item(int16_t number, VARIANT v) {
    if (variant_array(v) != nullptr) {
        VariantGuard hold(v);
        raise_trap(BI_TRAP_TYPE_MISMATCH);
    }
    ZbiBuiltIn_Print(number, 2, int{BI_PRINT_TEXT}, ZbiBuiltIn_CvtPSVS(v));
}

namespace {
// A number's text with the place of its sign, then the blank Print # puts after it.
void print_number(int16_t number, BiString text) {
    StringGuard hold(text);
    if (BiStringLength(text) == 0 || text.data[0] != '-')
        text = concat(make_string(" "), hold.release());
    else
        hold.release();
    file_print_item(number, ZbiBuiltIn_CvtPSNS(text));
}
} // namespace

void file_print_item(int16_t number, int16_t v) {
    print_number(number, to_str(v));
}
void file_print_item(int16_t number, int32_t v) {
    print_number(number, to_str(v));
}
void file_print_item(int16_t number, float v) {
    print_number(number, to_str(v));
}
void file_print_item(int16_t number, double v) {
    print_number(number, to_str(v));
}
void file_print_item(int16_t number, BiCurrency v) {
    print_number(number, to_str(v));
}

// ---- Write # ---------------------------------------------------------------------------------

WriteList::~WriteList() {
    if (handed_over_) return;
    for (Item &item : items_) {
        if (item.code == BI_TYPE_STRING) drop(item.s);
        if (item.code == BI_TYPE_VARIANT) BiXVariantClear(&item.v);
        if (item.code == BI_TYPE_FIXED_STRING) ZrFree(item.fixed);
    }
}

WriteList::Item &WriteList::next(int16_t code) {
    Item &item = items_.emplace_back();
    item.code = code;
    return item;
}

void WriteList::add(int16_t v) {
    next(BI_TYPE_INTEGER).i2 = v;
}
void WriteList::add(int32_t v) {
    next(BI_TYPE_LONG).i4 = v;
}
void WriteList::add(float v) {
    next(BI_TYPE_SINGLE).r4 = v;
}
void WriteList::add(double v) {
    next(BI_TYPE_DOUBLE).r8 = v;
}
void WriteList::add(BiCurrency v) {
    next(BI_TYPE_CURRENCY).cy = v;
}
void WriteList::add(BiString s) {
    StringGuard hold(s);
    next(BI_TYPE_STRING).s = hold.release();
}
void WriteList::add(VARIANT v) {
    VariantGuard hold(v);
    next(BI_TYPE_VARIANT).v = hold.release();
}
void WriteList::add_fixed(BiString text) {
    StringGuard hold(text);
    uint32_t n = BiStringLength(text);
    char *copy = static_cast<char *>(ZrMalloc(n + 1));
    if (copy == nullptr) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    std::memcpy(copy, text.data, n);
    copy[n] = '\0';
    next(BI_TYPE_FIXED_STRING).fixed = copy;
}

void WriteList::write(int16_t number) {
    // Each item is its code, then the pointer(s) to its value; a fixed-length string has one
    // pointer that is not read before the pointer to its copy.
    std::vector<void *> pointers;
    pointers.reserve(items_.size() * 3);
    for (Item &item : items_) {
        pointers.push_back(&item.code);
        if (item.code == BI_TYPE_FIXED_STRING) pointers.push_back(nullptr);
        pointers.push_back(item.code == BI_TYPE_FIXED_STRING ? static_cast<void *>(&item.fixed)
                                                             : static_cast<void *>(&item.i2));
    }
    handed_over_ = true;
    ZbiBuiltIn_Write(number, static_cast<int32_t>(items_.size()), pointers.data());
}

// ---- Input # ---------------------------------------------------------------------------------

void file_input(int16_t number, int16_t *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_INTEGER}, target);
}
void file_input(int16_t number, int32_t *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_LONG}, target);
}
void file_input(int16_t number, float *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_SINGLE}, target);
}
void file_input(int16_t number, double *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_DOUBLE}, target);
}
void file_input(int16_t number, BiCurrency *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_CURRENCY}, target);
}
void file_input(int16_t number, BiString *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_STRING}, target);
}
void file_input(int16_t number, VARIANT *target) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_VARIANT}, target);
}
void file_input_fixed(int16_t number, char *target, uint32_t length) {
    ZbiBuiltIn_Input(number, 1, int{BI_TYPE_FIXED_STRING}, static_cast<int>(length), target);
}

// ---- Put and Get -----------------------------------------------------------------------------

void FieldList::add(int16_t *p) {
    fields_.push_back({BI_TYPE_INTEGER, p, 2});
}
void FieldList::add(int32_t *p) {
    fields_.push_back({BI_TYPE_LONG, p, 4});
}
void FieldList::add(float *p) {
    fields_.push_back({BI_TYPE_SINGLE, p, 4});
}
void FieldList::add(double *p) {
    fields_.push_back({BI_TYPE_DOUBLE, p, 8});
}
void FieldList::add(BiCurrency *p) {
    fields_.push_back({BI_TYPE_CURRENCY, p, 8});
}
void FieldList::add(BiString *p) {
    fields_.push_back({BI_TYPE_STRING, p, 0});
}
void FieldList::add(VARIANT *p) {
    fields_.push_back({BI_TYPE_VARIANT, p, 0});
}
void FieldList::add_fixed(char *p, uint32_t length) {
    fields_.push_back({BI_TYPE_FIXED_STRING, p, static_cast<int32_t>(length)});
}

void FieldList::add_value(void *p, const TypeRef &type) {
    switch (type.kind) {
    case Kind::Integer:
        return add(static_cast<int16_t *>(p));
    case Kind::Long:
        return add(static_cast<int32_t *>(p));
    case Kind::Single:
        return add(static_cast<float *>(p));
    case Kind::Double:
        return add(static_cast<double *>(p));
    case Kind::Currency:
        return add(static_cast<BiCurrency *>(p));
    case Kind::String:
        return add(static_cast<BiString *>(p));
    case Kind::Variant:
        return add(static_cast<VARIANT *>(p));
    case Kind::Fixed:
        return add_fixed(static_cast<char *>(p), type.length);
    case Kind::Record:
        return add_record(p, *type.record);
    }
}

void FieldList::add_record(void *p, const RecordLayout &layout) {
    for (uint32_t i = 0; i < layout.count; ++i)
        add_value(static_cast<char *>(p) + layout.fields[i].offset, layout.fields[i].type);
}

const BiFileFieldList *FieldList::list() {
    size_t header = offsetof(BiFileFieldList, fields);
    buffer_.assign(header + fields_.size() * sizeof(BiFileField) + sizeof(BiFileField), 0);
    auto *out = reinterpret_cast<BiFileFieldList *>(buffer_.data());
    out->count = static_cast<int32_t>(fields_.size());
    std::memcpy(buffer_.data() + header, fields_.data(), fields_.size() * sizeof(BiFileField));
    return out;
}

void FieldList::put(int16_t number, int32_t position, bool given) {
    ZbiBuiltIn_Put(number, position, given ? 1 : 0, list());
}

void FieldList::get(int16_t number, int32_t position, bool given) {
    ZbiBuiltIn_Get(number, position, given ? 1 : 0, list());
}

} // namespace brtl::rt
