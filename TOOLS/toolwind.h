// The window unit of the utility library: short, uniform operations on
// windows and dialog items, and the window-handle checks.
#pragma once
#include "TOOLS/toolwind_checks.h"
#include "TOOLS/toolwind_geometry.h"
#include "TOOLS/toolwind_services.h"
