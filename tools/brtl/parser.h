// Reads the tokens of one line into statements.
#pragma once

#include <string>

#include "ast.h"
#include "lexer.h"

namespace brtl_host {

// The statements of a line separated by ':'; throws SyntaxError.
Block parse_line(const std::string &line);

} // namespace brtl_host
