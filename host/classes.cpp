// The default constructors of five host classes that the runtime exports for the host's
// component library: four layout values (a pair of single-precision floats: an "unset" marker
// and a default) and an error list (an integer).
#include <cstring>

#include "brtl/host.h"

namespace {

// The "unset" marker of a layout value: the single-precision float -3.4028234663852886e+37,
// bit pattern 0xFDCCCCCC.
constexpr uint32_t kUnsetBits = 0xFDCCCCCCu;

void construct_layout_value(void *object, float default_value) {
    float pair[2];
    std::memcpy(&pair[0], &kUnsetBits, sizeof(float));
    pair[1] = default_value;
    std::memcpy(object, pair, sizeof pair);
}

} // namespace

extern "C" {

BRTL_API void ZkLeft(void *object) {
    construct_layout_value(object, 0.0f);
}
BRTL_API void ZkTop(void *object) {
    construct_layout_value(object, 0.0f);
}
BRTL_API void ZkWidth(void *object) {
    construct_layout_value(object, 1142.0f);
}
BRTL_API void ZkHeight(void *object) {
    construct_layout_value(object, 492.0f);
}

BRTL_API void ZrErrorList(void *object) {
    const int32_t empty = -1;
    std::memcpy(object, &empty, sizeof empty);
}

} // extern "C"
