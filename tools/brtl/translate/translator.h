// The translator: the checked form of a program printed as a C++ program over the library and
// the host services. One C++ function per procedure, the BASIC line as a comment above the code
// it became, typed C++ variables, each operation one call of the library or the services.
#pragma once

#include <map>
#include <string>

#include "lang/program.h"

namespace brtl::basic {

struct TranslateOptions {
    std::map<std::string, std::string> sources; // file -> text, for the line comments
    std::string tool_version;
};

std::string translate(const Program &program, const TranslateOptions &options);

} // namespace brtl::basic
