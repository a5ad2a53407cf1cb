// A readable listing of the checked form (brtl --dump FILE): every procedure's instructions with
// their operands and source lines.
#pragma once

#include <string>

#include "program.h"

namespace brtl::basic {

const char *op_name(Op op);
std::string dump(const Program &program);

} // namespace brtl::basic
