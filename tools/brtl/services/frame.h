// What a procedure of a translated program keeps while it runs: its place (the statement it is
// at, for the message of a trap and for Erl), its On Error state, its GoSub returns and the
// cleanup of its Strings, Variants, records and arrays, which also runs when a trap or End
// leaves the procedure through an exception.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "brtl/brtl.h"
#include "convert.h"
#include "core.h"
#include "storage.h"

namespace brtl::rt {

// One statement of a procedure: its source line, the line number label at or before it (Erl),
// and the places (instruction numbers) where its code starts and where the next statement's
// starts: the targets of Resume and Resume Next.
struct UnitInfo {
    int32_t line;
    int32_t label;
    uint32_t start;
    uint32_t end;
};

struct ProcedureInfo {
    const char *title; // "Sub Main", "Function Area", "module-level code"
    const char *file;
    bool text_compare; // Option Compare Text in its module
    const UnitInfo *units;
};

// The running procedure. Frames link to their callers, so that a trap knows where it was
// raised; making one past the call depth limit is trap 28.
class Frame {
  public:
    explicit Frame(const ProcedureInfo &info);
    ~Frame();
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;

    uint32_t unit = 0; // the statement running now: an index into info().units
    const ProcedureInfo &info() const { return info_; }
    // Option Compare from here on (the statement), and the setting again after a trap.
    void set_text_compare(bool on);
    bool text_compare() const { return text_compare_; }
    // The innermost running frame, or null.
    static const Frame *innermost();

  private:
    const ProcedureInfo &info_;
    Frame *caller_;
    bool text_compare_;
};

// A procedure's On Error state. take() is called with a trap that reached the procedure: it
// says whether the procedure's handler takes it and where the code goes on.
class ErrorHandler {
  public:
    void go_to(uint32_t target); // On Error GoTo label
    void resume_next();          // On Error Resume Next
    void off();                  // On Error GoTo 0
    bool takes() const { return mode_ != Mode::None && !in_handler_; }
    // Err and Erl of the trap; the handler's label, or the statement after the one that
    // trapped (Resume Next mode).
    uint32_t take(const Trap &trap, const Frame &frame);
    // Resume (the statement that trapped), Resume Next (the one after), Resume label: trap 20
    // outside a handler; Err is cleared.
    uint32_t resume(const Frame &frame);
    uint32_t resume_next_statement(const Frame &frame);
    void resume_label();
    // Leaving the procedure while its handler runs clears Err.
    void leave() const;

  private:
    enum class Mode : uint8_t { None, GoTo, ResumeNext };
    Mode mode_ = Mode::None;
    bool in_handler_ = false;
    uint32_t target_ = 0;
    uint32_t trap_unit_ = 0;
};

// The return places of GoSub in one procedure.
class GoSubReturns {
  public:
    void push(uint32_t place) { places_.push_back(place); }
    uint32_t pop(); // trap 3 without a GoSub

  private:
    std::vector<uint32_t> places_;
};

// One piece of storage a procedure owns: a String, a Variant, a record or an array.
class Owned {
  public:
    Owned(BiString &s) : p_(&s), type_{Kind::String, 0, nullptr} {}
    Owned(VARIANT &v) : p_(&v), type_{Kind::Variant, 0, nullptr} {}
    Owned(void *p, const TypeRef &type) : p_(p), type_(type) {}
    Owned(Array &a, const TypeRef &element) : p_(&a), type_(element), array_(true) {}
    template <size_t N>
    Owned(VARIANT (&v)[N]) : p_(v), type_{Kind::Variant, 0, nullptr}, count_(N) {}
    void release() const;

  private:
    void *p_;
    TypeRef type_;
    bool array_ = false;
    uint32_t count_ = 1; // consecutive values of the type
};

// Releases what a procedure owns when it is left, in the reverse order; release() empties the
// pieces at once (the temporaries of a procedure whose handler takes a trap).
template <size_t N> class Cleanup {
  public:
    template <typename... T> explicit Cleanup(T &&...owned) : owned_{Owned(owned)...} {}
    ~Cleanup() { release(); }
    Cleanup(const Cleanup &) = delete;
    Cleanup &operator=(const Cleanup &) = delete;
    void release() const {
        for (size_t i = N; i-- > 0;)
            owned_[i].release();
    }

  private:
    std::array<Owned, N> owned_;
};
template <typename... T> Cleanup(T &&...) -> Cleanup<sizeof...(T)>;

// Gives an array its bounds (lower, upper pairs) and empty elements: Dim of a fixed-size array.
void array_dim(Array &a, const TypeRef &element, std::initializer_list<int32_t> bounds);
// ReDim with bounds that the program computes (lower, upper pairs).
void array_redim(Array &a, const TypeRef &element, bool preserve,
                 std::initializer_list<int32_t> bounds);
// The address of an element.
void *array_element(Array &a, std::initializer_list<int32_t> subscripts);

// A String temporary taken out of its slot (the slot is left empty): the callee it is passed to
// owns it now.
inline BiString take(BiString &slot) {
    BiString s = slot;
    slot = BiString{const_cast<char *>(""), 0};
    return s;
}
// A Variant temporary taken out of its slot (left Empty).
inline VARIANT take(VARIANT &slot) {
    VARIANT v = slot;
    VariantInit(&slot);
    return v;
}
// The text of a String constant: a view of static bytes (not a temporary).
template <size_t N> inline BiString text(const char (&bytes)[N]) {
    return BiString{const_cast<char *>(bytes), static_cast<uint32_t>(N - 1)};
}
inline VARIANT empty_variant() {
    VARIANT v;
    VariantInit(&v);
    return v;
}

// Constants of the Variant kinds that have no literal: Null, a Date, an Error value.
inline VARIANT null_variant() {
    VARIANT v = empty_variant();
    v.vt = VT_NULL;
    return v;
}
inline VARIANT date_variant(double serial) {
    VARIANT v = empty_variant();
    v.vt = VT_DATE;
    v.date = serial;
    return v;
}
inline VARIANT error_variant(uint32_t code) {
    VARIANT v = empty_variant();
    v.vt = VT_ERROR;
    v.scode = static_cast<SCODE>(code);
    return v;
}

// Storage reached through a pointer: an array element, a field of a record passed ByRef.
template <typename T> inline T &at(void *p, uint32_t displacement = 0) {
    return *reinterpret_cast<T *>(static_cast<uint8_t *>(p) + displacement);
}
inline char *chars(void *p, uint32_t displacement = 0) {
    return static_cast<char *>(p) + displacement;
}

// A String that a statement made for the next one to take over (the temporary flag set).
inline void mark_temporary(BiString &s) {
    if (BiStringLength(s) != 0) s.length_word |= BI_STRING_TEMP_FLAG;
}
// Releases a Variant temporary (or variable) and leaves it Empty.
inline void release(VARIANT &v) {
    clear_variant(v);
}
// Stores a Variant that is handed over (a temporary, a copy) into a Variant variable.
inline void assign(VARIANT &dst, VARIANT src) {
    if (!is_plain(dst)) BiXVariantClear(&dst);
    dst = src;
}

// The element of the array a Variant holds (trap 13 when it holds none), and its bounds.
void *variant_array_element(VARIANT &v, std::initializer_list<int32_t> subscripts);
int32_t variant_array_bound(VARIANT &v, int32_t dimension, bool upper);
// The index of On n GoTo / GoSub: trap 5 outside 0 to 255.
int32_t on_index(int32_t n);

// A String or Variant passed ByVal: the callee's own copy, released when it returns.
class StringValue {
  public:
    StringValue(BiString s, bool take_it); // take_it: s is a temporary handed over
    ~StringValue();
    StringValue(StringValue &&other) noexcept;
    StringValue(const StringValue &) = delete;
    StringValue &operator=(const StringValue &) = delete;
    BiString s;
};
class VariantValue {
  public:
    VariantValue(VARIANT v, bool take_it);
    ~VariantValue();
    VariantValue(VariantValue &&other) noexcept;
    VariantValue(const VariantValue &) = delete;
    VariantValue &operator=(const VariantValue &) = delete;
    VARIANT v;
};

// A Function's String result as the caller receives it: a temporary; the result variable is
// left empty. A Variant result is moved out the same way.
BiString return_string(BiString &result);
VARIANT return_variant(VARIANT &result);

} // namespace brtl::rt
