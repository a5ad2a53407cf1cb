#include "frame.h"

#include <vector>

#include "convert.h"
#include "strings.h"

namespace brtl::rt {

namespace {
Frame *innermost_frame = nullptr;
int32_t depth = 0;
} // namespace

Frame::Frame(const ProcedureInfo &info) : info_(info), caller_(innermost_frame) {
    if (depth >= kMaxCallDepth) raise_trap(kOutOfStackSpace);
    ++depth;
    innermost_frame = this;
    text_compare_ = info.text_compare;
    if (text_compare_ != rt::text_compare()) rt::set_text_compare(text_compare_);
}

Frame::~Frame() {
    --depth;
    innermost_frame = caller_;
    if (caller_ != nullptr && caller_->text_compare_ != rt::text_compare())
        rt::set_text_compare(caller_->text_compare_);
}

void Frame::set_text_compare(bool on) {
    text_compare_ = on;
    rt::set_text_compare(on);
}

const Frame *Frame::innermost() {
    return innermost_frame;
}

// ---- On Error
// -------------------------------------------------------------------------------------

void ErrorHandler::go_to(uint32_t target) {
    err().number = 0;
    mode_ = Mode::GoTo;
    target_ = target;
}

void ErrorHandler::resume_next() {
    err().number = 0;
    mode_ = Mode::ResumeNext;
}

void ErrorHandler::off() {
    err().number = 0;
    mode_ = Mode::None;
}

uint32_t ErrorHandler::take(const Trap &trap, const Frame &frame) {
    ErrState &e = err();
    e.number = trap.number;
    e.line = trap.procedure != nullptr ? trap.procedure->units[trap.unit].label : 0;
    rt::set_text_compare(frame.text_compare());
    trap_unit_ = frame.unit;
    if (mode_ == Mode::GoTo) {
        in_handler_ = true;
        return target_;
    }
    return frame.info().units[trap_unit_].end;
}

uint32_t ErrorHandler::resume(const Frame &frame) {
    resume_label();
    return frame.info().units[trap_unit_].start;
}

uint32_t ErrorHandler::resume_next_statement(const Frame &frame) {
    resume_label();
    return frame.info().units[trap_unit_].end;
}

void ErrorHandler::resume_label() {
    if (!in_handler_) raise_trap(kResumeWithoutError);
    in_handler_ = false;
    err().number = 0;
}

void ErrorHandler::leave() const {
    if (in_handler_) err().number = 0;
}

uint32_t GoSubReturns::pop() {
    if (places_.empty()) raise_trap(kReturnWithoutGoSub);
    uint32_t place = places_.back();
    places_.pop_back();
    return place;
}

// ---- Storage
// --------------------------------------------------------------------------------------

void Owned::release() const {
    if (array_) {
        array_free(*static_cast<Array *>(p_), type_);
        return;
    }
    if (!needs_release(type_)) return;
    uint32_t size = storage_size(type_);
    for (uint32_t i = 0; i < count_; ++i)
        clear_value(static_cast<uint8_t *>(p_) + i * size, type_);
}

void array_dim(Array &a, const TypeRef &element, std::initializer_list<int32_t> bounds) {
    array_redim(a, element, false, bounds);
}

void array_redim(Array &a, const TypeRef &element, bool preserve,
                 std::initializer_list<int32_t> bounds) {
    int32_t lower[kMaxDimensions], upper[kMaxDimensions];
    int32_t dims = 0;
    for (auto p = bounds.begin(); p + 1 < bounds.end() && dims < kMaxDimensions; p += 2, ++dims) {
        lower[dims] = p[0];
        upper[dims] = p[1];
    }
    array_redim(a, element, dims, lower, upper, preserve);
}

void *array_element(Array &a, std::initializer_list<int32_t> subscripts) {
    return array_element(a, subscripts.begin(), static_cast<int32_t>(subscripts.size()));
}

void *variant_array_element(VARIANT &v, std::initializer_list<int32_t> subscripts) {
    Array *a = variant_array(v);
    if (a == nullptr) raise_trap(BI_TRAP_TYPE_MISMATCH);
    return array_element(*a, subscripts);
}

int32_t variant_array_bound(VARIANT &v, int32_t dimension, bool upper) {
    Array *a = variant_array(v);
    if (a == nullptr) raise_trap(BI_TRAP_TYPE_MISMATCH);
    return array_bound(*a, dimension, upper);
}

int32_t on_index(int32_t n) {
    if (n < 0 || n > 255) raise_trap(BI_TRAP_ILLEGAL_CALL);
    return n;
}

StringValue::StringValue(BiString value, bool take_it) : s(empty_string()) {
    if (take_it)
        s = BiString{value.data, BiStringLength(value)};
    else
        assign(s, value);
}

StringValue::~StringValue() {
    release(s);
}

StringValue::StringValue(StringValue &&other) noexcept : s(other.s) {
    other.s = empty_string();
}

VariantValue::VariantValue(VARIANT value, bool take_it) : v(take_it ? value : copy_var(value)) {}

VariantValue::~VariantValue() {
    clear_variant(v);
}

VariantValue::VariantValue(VariantValue &&other) noexcept : v(other.v) {
    VariantInit(&other.v);
}

BiString return_string(BiString &result) {
    BiString s = result;
    if (BiStringLength(s) != 0) s.length_word |= BI_STRING_TEMP_FLAG;
    result = empty_string();
    return s;
}

VARIANT return_variant(VARIANT &result) {
    return take(result);
}

} // namespace brtl::rt
