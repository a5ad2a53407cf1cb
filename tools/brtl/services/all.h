// Every service a translated program calls: the one header its C++ includes.
#pragma once

#include "arith.h"
#include "console.h"
#include "convert.h"
#include "core.h"
#include "files.h"
#include "frame.h"
#include "language.h"
#include "program.h"
#include "storage.h"
#include "strings.h"
#include "variants.h"
