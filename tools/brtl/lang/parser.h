// Reads the tokens of a module into its syntax tree; throws SourceError at the first error.
#pragma once

#include <string>

#include "ast.h"

namespace brtl::basic {

// The module in text (named file in messages); first_line numbers its first line.
Module parse_module(const std::string &text, const std::string &file, int first_line = 1);

} // namespace brtl::basic
