/* brtl: the financial functions: annuities, cash flows, depreciation. */
#ifndef BRTL_FINANCIAL_H
#define BRTL_FINANCIAL_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
