// The file statements of a program over the library's: the items of Print #, the item list of
// Write #, the typed targets of Input #, and the field lists of Put and Get, records included.
#pragma once

#include <cstdint>
#include <vector>

#include "brtl/brtl.h"
#include "storage.h"

namespace brtl::rt {

// Print #n items, one library call each.
void file_print_comma(int16_t number);
void file_print_spc(int16_t number, int32_t n);
void file_print_tab(int16_t number, int32_t n);
void file_print_end(int16_t number);
void file_print_item(int16_t number, BiString s); // a temporary is freed
void file_print_item(int16_t number, VARIANT v);  // consumed
void file_print_item(int16_t number, int16_t v);
void file_print_item(int16_t number, int32_t v);
void file_print_item(int16_t number, float v);
void file_print_item(int16_t number, double v);
void file_print_item(int16_t number, BiCurrency v);

// The items of one Write # statement, each with its type code. The list holds copies, which
// the statement consumes; what it did not hand over it releases.
class WriteList {
  public:
    WriteList() = default;
    WriteList(const WriteList &) = delete;
    WriteList &operator=(const WriteList &) = delete;
    ~WriteList();
    void add(int16_t v);
    void add(int32_t v);
    void add(float v);
    void add(double v);
    void add(BiCurrency v);
    void add(BiString s); // a variable's string is written as it is, a temporary freed
    void add(VARIANT v);  // consumed
    void add_fixed(BiString text);
    void write(int16_t number);

  private:
    struct Item {
        int16_t code;
        union {
            int16_t i2;
            int32_t i4;
            float r4;
            double r8;
            BiCurrency cy;
            BiString s;
            VARIANT v;
            char *fixed;
        };
    };
    Item &next(int16_t code);
    std::vector<Item> items_;
    bool handed_over_ = false;
};

// Input #n into typed targets, one field each.
void file_input(int16_t number, int16_t *target);
void file_input(int16_t number, int32_t *target);
void file_input(int16_t number, float *target);
void file_input(int16_t number, double *target);
void file_input(int16_t number, BiCurrency *target);
void file_input(int16_t number, BiString *target);
void file_input(int16_t number, VARIANT *target);
void file_input_fixed(int16_t number, char *target, uint32_t length);

// The fields of one Put or Get: typed variables, strings, Variants and records (one descriptor
// per member, nested records flattened).
class FieldList {
  public:
    void add(int16_t *p);
    void add(int32_t *p);
    void add(float *p);
    void add(double *p);
    void add(BiCurrency *p);
    void add(BiString *p);
    void add(VARIANT *p);
    void add_fixed(char *p, uint32_t length);
    void add_record(void *p, const RecordLayout &layout);
    void add_value(void *p, const TypeRef &type);
    void put(int16_t number, int32_t position, bool given);
    void get(int16_t number, int32_t position, bool given);

  private:
    std::vector<BiFileField> fields_;
    std::vector<uint8_t> buffer_;
    const BiFileFieldList *list();
};

} // namespace brtl::rt
