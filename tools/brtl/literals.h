// Literals of the dialect, converted by the library's own text conversions.
#pragma once

#include <string>

#include "value.h"

namespace brtl_host {

// The Variant type of a type character (VT_EMPTY for none); a number never carries "$".
VARTYPE type_of_suffix(char suffix);

// A number literal: decimal text (digits, point, exponent) or "&H..."/"&O...", with its type
// character (0 for none).
Value number_literal(const std::string &text, char suffix);
// True when the library's parser reads the text as a date, a time or both.
bool is_date_text(const std::string &text);
// The date between the two # of a date literal; throws SyntaxError when it is no date.
Value date_literal(const std::string &text, int column);

} // namespace brtl_host
