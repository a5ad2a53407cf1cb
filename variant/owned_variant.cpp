#include "variant/owned_variant.h"

#include "brtl/variant.h"

namespace brtl::variant {

void OwnedVariant::reset() {
    if (v_ != nullptr) BiXVariantClear(v_);
    v_ = nullptr;
}

} // namespace brtl::variant
