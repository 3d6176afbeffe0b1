// The base unit of the utility library: text and path functions and the
// pointer and procedure checks.
#pragma once
#include "TOOLS/module_path.h"
#include "TOOLS/path_text.h"
#include "TOOLS/pointer_checks.h"
#include "TOOLS/sjis_text.h"
