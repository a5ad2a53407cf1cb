// The profile reader over an arbitrary file: a section and a key taken from the input, read as
// text into buffers of several sizes and as a number.
#include "fuzz_files.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::init_runtime();
    fuzz::Input in(data, size);
    const std::string section(in.text()), key(in.text());
    static const std::string path = fuzz::scratch_file("win.ini");
    fuzz::write_bytes(path, in.rest());
    brtl::platform::set_profile_path(path.c_str());
    char buffer[brtl::platform::kProfileValueMax + 1];
    for (size_t n : {size_t{0}, size_t{1}, size_t{8}, sizeof buffer})
        (void)brtl::platform::profile_string(section.c_str(), key.c_str(), "fallback", buffer, n);
    (void)brtl::platform::profile_int(section.c_str(), key.c_str(), -1);
    return 0;
}
