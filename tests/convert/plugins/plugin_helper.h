// What the test plug-ins built with PLUGIN_USES_HELPER import from
// plugin_helper.dll.
#pragma once
#include <windows.h>

extern "C" __declspec(dllimport) int PluginHelperAgrees();
