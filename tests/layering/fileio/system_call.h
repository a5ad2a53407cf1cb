// Knows the operating system from above platform/: the layering check must refuse it.
#pragma once

#include <unistd.h>
