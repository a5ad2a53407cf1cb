// Random small programs of the dialect, made from bytes: a fuzz target runs them under the
// sanitizers, and the differential test runs each both interpreted and translated. The programs
// use typed and Variant variables, arrays, records, procedures, loops, Select Case, GoSub and
// error handling, and print what they compute; their loops are bounded, but a program may still
// trap or run long, so the runner sets a step limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The text of one module made from the bytes (the same bytes make the same program).
std::string generate_program(const uint8_t *data, size_t size);

} // namespace fuzz
