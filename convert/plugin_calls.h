// The calls into a plug-in, each run under the fault guard: a plug-in that
// faults has simply failed that call.
#pragma once
#include <windows.h>

#include <cstdint>

#include "convert/plugin_module.h"

// Kind flags from the letters of the GetPluginInfo answer. Only
// PLUGIN_FLAG_I decides anything.
const unsigned PLUGIN_FLAG_I = 0x01;
const unsigned PLUGIN_FLAG_A = 0x02;
const unsigned PLUGIN_FLAG_X = 0x04;
const unsigned PLUGIN_FLAG_C = 0x10;
const unsigned PLUGIN_FLAG_E = 0x20;
const unsigned PLUGIN_FLAG_M = 0x80;

// The first bytes of the source that IsSupported sees.
const int PLUGIN_HEAD_SIZE = 2048;

// True with the kind flags when the answer is a count from 3 to 16 whose text
// begins with two "0" characters.
bool GetPluginKind(PluginGetPluginInfoProc getPluginInfo, unsigned* flags);
// head holds headSize bytes (0 to PLUGIN_HEAD_SIZE); the plug-in sees them
// followed by zeros up to PLUGIN_HEAD_SIZE.
bool PluginIsSupported(PluginIsSupportedProc isSupported, const char* source,
                       const unsigned char* head, int32_t headSize);
// On true the caller owns both handles and releases them with LocalFree. On
// false nothing is left to release: a handle the plug-in handed out on a
// failed or faulted call has been freed already.
bool PluginGetPicture(PluginGetPictureProc getPicture, const char* source, HLOCAL* info,
                      HLOCAL* pixels);
// Handed to GetPicture; no progress is shown.
int WINAPI PluginProgressCallback(int done, int total, LONG data);
