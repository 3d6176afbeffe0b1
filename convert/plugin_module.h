// A Susie image plug-in, loaded for one attempt only, and its three entry
// points. The plug-in calls use the calling convention of the Win32 API.
#pragma once
#include <windows.h>

#include "TOOLS/sjis_text.h"

typedef int(WINAPI* PluginProgressProc)(int done, int total, LONG data);
typedef int(WINAPI* PluginGetPluginInfoProc)(int number, LPSTR buffer, int size);
typedef int(WINAPI* PluginIsSupportedProc)(LPCSTR path, DWORD head);
typedef int(WINAPI* PluginGetPictureProc)(LPCSTR path, LONG offset, UINT flags, HLOCAL* info,
                                          HLOCAL* pixels, PluginProgressProc progress,
                                          LONG data);

struct PluginModule {
  HMODULE module;  // null while closed, like the three entries
  PluginIsSupportedProc isSupported;
  PluginGetPluginInfoProc getPluginInfo;
  PluginGetPictureProc getPicture;
  char path[PATH_BUFFER_SIZE];
};

// Loads the library and takes its entries; true only for an image input
// plug-in ("I" among its kind letters) with all three entries. On failure
// nothing stays loaded.
bool OpenPluginModule(PluginModule* plugin, const char* path);
// Frees the library; the path stays. The result says whether FreeLibrary
// succeeded.
bool ClosePluginModule(PluginModule* plugin);
