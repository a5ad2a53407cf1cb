// brtl translate, brtl build and brtl run: a module to C++, to a program, to a program run at
// once from a cache.
#pragma once

#include <string>
#include <vector>

namespace brtl::basic {

// Each takes the command's arguments (after its name) and returns the exit status.
int translate_command(const std::vector<std::string> &args);
int build_command(const std::vector<std::string> &args);
int run_command(const std::vector<std::string> &args);

} // namespace brtl::basic
