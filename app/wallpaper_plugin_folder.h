// Where the image plug-ins are looked for: the folder the current user's
// plug-in key names, or else the executable's own folder.
#pragma once
#include <windows.h>

extern const char PLUGIN_KEY_NAME[];  // "Software\\Hadrimol\\Susie\\Plug-in", under the current user

// folder holds PATH_BUFFER_SIZE bytes. Whatever the key names, if it exists
// (a file counts too, and then no conversion is tried); else the
// executable's folder.
void FindPluginFolder(char* folder);
// True when the plug-in key could be opened; folder is then its "Path" value,
// or empty. Without the key, folder stays as it was.
bool GetPluginFolder(char* folder);
// Opened for reading; the caller closes it.
bool OpenPluginKey(HKEY* key);
