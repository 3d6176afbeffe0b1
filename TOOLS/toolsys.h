// The system unit of the utility library: trace output, formatting, registry
// and file-attribute wrappers, local-memory checks.
#pragma once
#include "TOOLS/bounded_format.h"
#include "TOOLS/debug_trace.h"
#include "TOOLS/file_attributes.h"
#include "TOOLS/local_memory_checks.h"
#include "TOOLS/registry.h"
