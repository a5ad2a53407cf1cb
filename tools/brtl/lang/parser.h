// Reads the tokens of a module into its syntax tree; throws SourceError at the first error.
#pragma once

#include <string>

#include "ast.h"

namespace brtl::basic {

// The module in text (named file in messages); first_line numbers its first line.
Module parse_module(const std::string &text, const std::string &file, int first_line = 1);

// True for the words that start statements of their own (Dim, Print, If, For, ...), which cannot
// name a variable or a procedure (the library statements' words, Name or Width, can). upper_name
// is in upper case.
bool is_reserved_word(const std::string &upper_name);

} // namespace brtl::basic
