#include "variant/owned_variant.h"

#include "brtl/variant.h"

namespace brtl::variant {

OwnedVariant::~OwnedVariant() {
    reset();
}

void OwnedVariant::reset() {
    if (v_ != nullptr) BiXVariantClear(v_);
    v_ = nullptr;
}

LocalVariant::~LocalVariant() {
    BiXVariantClear(&v_);
}

} // namespace brtl::variant
