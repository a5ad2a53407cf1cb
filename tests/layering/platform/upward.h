// A platform header that reaches up to the Variant layer: the layering check must reject it.
#pragma once

#include "variant/owned_variant.h"
