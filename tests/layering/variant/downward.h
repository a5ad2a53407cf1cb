// A Variant header that includes only its own layer and those below.
#pragma once

#include "brtl/types.h"
#include "platform/codepage.h"
