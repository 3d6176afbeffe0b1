// The wallpaper mode: set the named picture with the named style. It shows
// nothing and traces nothing of its own.
#pragma once

#include "app/desktop_wallpaper.h"
#include "app/wallpaper_plugin_folder.h"
#include "app/wallpaper_settings.h"

// argv[0] is the program name and is never looked at. When no wallpaper
// could be set, the previous style and wallpaper are put back.
void RunWallpaperCommand(int argc, wchar_t** argv);

// The picture as it is, or else converted to the executable's path with the
// extension ".bmp" when pluginFolder is a folder. True when the system took
// one of them.
bool ApplyWallpaper(const wchar_t* imagePath, const char* pluginFolder);
