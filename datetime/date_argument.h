// The Date argument of the part and interval builtins: a Variant by value, converted to a Date.
#pragma once

#include "brtl/types.h"

namespace brtl::datetime {

// Converts the builtin's own Variant argument in place to a Date with ZbiVariantCvtToDate (a
// Date is left as it is) and returns true; the range check is asked for by range_check. False
// when the conversion raised a trap and its hook returned: the argument is then cleared.
bool to_date_argument(VARIANT &arg, bool range_check);

} // namespace brtl::datetime
