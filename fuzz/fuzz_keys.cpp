// The SendKeys notation: brtl_compile_keys over arbitrary key strings. Besides not crashing, the
// count it returns must not depend on the room it is given: a call with no room and a call with
// room for every event give the same count, and the events written are the same.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    std::string keys(reinterpret_cast<const char *>(data), size);
    keys.erase(std::find(keys.begin(), keys.end(), '\0'), keys.end()); // a C string
    int32_t count = brtl_compile_keys(keys.c_str(), nullptr, 0);
    if (count < -2) std::abort();
    if (count <= 0 || count > (1 << 20)) return 0;
    std::vector<BrtlKeyEvent> events(static_cast<size_t>(count) + 1, BrtlKeyEvent{0xDEAD, 0xDEAD});
    if (brtl_compile_keys(keys.c_str(), events.data(), count) != count) std::abort();
    if (events[static_cast<size_t>(count)].message != 0xDEAD) std::abort(); // wrote past the room
    for (int32_t i = 0; i < count; ++i) {
        uint32_t m = events[static_cast<size_t>(i)].message;
        if (m != 256 && m != 257 && m != 260 && m != 261) std::abort();
    }
    return 0;
}
