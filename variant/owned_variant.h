// The guard for a Variant that a builtin owns while a hook may leave it by an exception; the
// library's clear (which knows the host object subtype) is the freeing rule.
#pragma once

#include "brtl/types.h"

namespace brtl::variant {

// Clears the Variant it guards when it goes out of scope, unless released. It guards either the
// caller's Variant (an argument passed by value, a result being built) or a Variant of its own,
// which starts Empty.
class OwnedVariant {
  public:
    OwnedVariant() : v_(&own_) {}
    explicit OwnedVariant(VARIANT *v) : v_(v) {}
    OwnedVariant(const OwnedVariant &) = delete;
    OwnedVariant &operator=(const OwnedVariant &) = delete;
    ~OwnedVariant() { reset(); }

    VARIANT *get() const { return v_; }
    VARIANT &operator*() const { return *v_; }
    VARIANT *operator->() const { return v_; }
    // Stops guarding and hands the Variant back.
    VARIANT *release() {
        VARIANT *v = v_;
        v_ = nullptr;
        return v;
    }
    // Starts guarding v (when nothing is guarded yet).
    void adopt(VARIANT *v) {
        if (v_ == nullptr) v_ = v;
    }
    // Moves the value out, leaving the guarded Variant Empty.
    VARIANT take() {
        VARIANT v = *v_;
        v_->vt = VT_EMPTY;
        return v;
    }
    // Clears now instead of at the end of the scope, and stops guarding.
    void reset();

  private:
    VARIANT own_{};
    VARIANT *v_;
};

} // namespace brtl::variant
