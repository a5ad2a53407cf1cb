// Helpers of the Variant operator suites: calls through the exported tables as translated code
// makes them, a reference-counted stand-in for an object, and readers of results.
#pragma once

#include <string>

#include "harness/harness.h"

namespace brtl_test {

// A COM-like object that counts its references; a Variant holding it owns one.
struct CountedObject {
    BrtlUnknown base;
    int references = 0; // the references Variants hold

    CountedObject();
    CountedObject(const CountedObject &) = delete;
    CountedObject &operator=(const CountedObject &) = delete;

    // A Variant of subtype vt (VT_DISPATCH or VT_UNKNOWN) owning one more reference.
    VARIANT variant(VARTYPE vt = VT_DISPATCH);
};

// Binary operator op on two operands through BiVariantBinOpTable: one indexed load, one call.
// The result starts Empty.
VARIANT binary(int32_t op, VARIANT left, VARIANT right);
// Unary operator op (0 negation, 1 Sgn, 2 Abs, 3 complement) through BiVariantUnOpTable.
VARIANT unary(int op, VARIANT operand);

// Releases what a result holds.
void release(VARIANT &v);
// The text of a string result (ASCII/Latin-1 units), released.
std::string take_text(VARIANT &v);

// Operator codes.
enum : int32_t {
    kAdd = 0,
    kSub = 1,
    kMul = 2,
    kAnd = 3,
    kOr = 4,
    kXor = 5,
    kEqv = 6,
    kImp = 7,
    kLt = 8,
    kLe = 9,
    kGt = 10,
    kGe = 11,
    kEq = 12,
    kNe = 13
};

} // namespace brtl_test
