// The host's values: a Variant that owns what it holds, or an array of such values (the host's
// own arrays, which the financial builtins read as lists of Doubles).
#pragma once

#include <memory>
#include <vector>

#include "brtl/brtl.h"

namespace brtl_host {

class Value {
  public:
    Value() { VariantInit(&v_); }
    // Takes over what v holds.
    static Value adopt(const VARIANT &v) {
        Value out;
        out.v_ = v;
        return out;
    }
    Value(const Value &other) : array_(other.array_) {
        VariantInit(&v_);
        copy_from(other.v_);
    }
    Value(Value &&other) noexcept : v_(other.v_), array_(std::move(other.array_)) {
        VariantInit(&other.v_);
    }
    Value &operator=(Value other) noexcept {
        std::swap(v_, other.v_);
        std::swap(array_, other.array_);
        return *this;
    }
    ~Value() { VariantClear(&v_); }

    VARIANT *get() { return &v_; }
    const VARIANT &variant() const { return v_; }
    VARTYPE vt() const { return v_.vt; }
    // Hands the Variant to a callee that owns it; this value becomes Empty.
    VARIANT release() {
        VARIANT out = v_;
        VariantInit(&v_);
        return out;
    }

    bool is_array() const { return array_ != nullptr; }
    const std::vector<Value> &elements() const { return *array_; }
    static Value array(std::vector<Value> elements) {
        Value out;
        out.array_ = std::make_shared<const std::vector<Value>>(std::move(elements));
        return out;
    }

  private:
    void copy_from(const VARIANT &src);

    VARIANT v_;
    std::shared_ptr<const std::vector<Value>> array_;
};

} // namespace brtl_host
