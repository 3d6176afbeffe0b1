// Where the process looks for libraries: never in the current folder, and a
// plug-in's own imports beside the plug-in.
#pragma once
#include <windows.h>

// Takes the current folder out of the library search order for the rest of
// the process: the folder of the executable and the system folders remain.
// Called first thing at start-up, before anything is loaded by name. False
// when the system offers no way to do it (before Windows XP SP1).
bool ExcludeCurrentFolderFromDllSearch();

// Loads the library at `path` so that the libraries it imports are looked
// for in its own folder first; null when it cannot be loaded.
HMODULE LoadLibraryWithOwnFolder(const char* path);
