// A library of a test plug-in's own: the plug-in imports it, so the plug-in
// loads only where this file is found.
#include "tests/convert/plugins/plugin_helper.h"

extern "C" __declspec(dllexport) int PluginHelperAgrees() { return 1; }
