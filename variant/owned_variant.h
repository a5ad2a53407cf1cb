// The guards for a Variant that a builtin owns while a hook may leave it by an exception; the
// library's clear (which knows the host object subtype) is the freeing rule.
#pragma once

#include "brtl/types.h"

namespace brtl::variant {

// Clears the Variant it guards (the library's clear, which knows the host object subtype) when
// it goes out of scope, unless released.
class OwnedVariant {
  public:
    explicit OwnedVariant(VARIANT *v) : v_(v) {}
    OwnedVariant(const OwnedVariant &) = delete;
    OwnedVariant &operator=(const OwnedVariant &) = delete;
    ~OwnedVariant();

    VARIANT *get() const { return v_; }
    VARIANT *release() {
        VARIANT *v = v_;
        v_ = nullptr;
        return v;
    }
    // Starts guarding v (when nothing is guarded yet).
    void adopt(VARIANT *v) {
        if (v_ == nullptr) v_ = v;
    }
    // Clears now instead of at the end of the scope.
    void reset();

  private:
    VARIANT *v_;
};

// A Variant owned by the scope: starts Empty, cleared at the end.
class LocalVariant {
  public:
    LocalVariant() { v_.vt = VT_EMPTY; }
    LocalVariant(const LocalVariant &) = delete;
    LocalVariant &operator=(const LocalVariant &) = delete;
    ~LocalVariant();

    VARIANT *get() { return &v_; }
    VARIANT &operator*() { return v_; }
    VARIANT *operator->() { return &v_; }
    // Moves the value out, leaving this Empty.
    VARIANT take() {
        VARIANT v = v_;
        v_.vt = VT_EMPTY;
        return v;
    }

  private:
    VARIANT v_{};
};

} // namespace brtl::variant
