// The wallpaper mode: set the named picture with the named style. It shows
// nothing; of its own it traces only the one line that tells why a picture
// could not be set.
#pragma once

#include "app/desktop_wallpaper.h"
#include "app/wallpaper_plugin_folder.h"
#include "app/wallpaper_settings.h"

// The process's exit code, so that a script can tell what happened.
enum WallpaperExitCode {
  WALLPAPER_EXIT_SET = 0,           // the picture is in force with the asked style
  WALLPAPER_EXIT_FAILED = 1,        // not set; the previous settings are in force
  WALLPAPER_EXIT_NOTHING_TO_DO = 2  // no picture named and no current wallpaper
};

// Why a wallpaper is or is not in force.
enum WallpaperOutcome {
  WALLPAPER_SET,
  WALLPAPER_NOT_LOADED,         // the system refused it and no loader read it
  WALLPAPER_BMP_NOT_WRITTEN,    // read, but the converted file could not be written
  WALLPAPER_CONVERTED_REFUSED,  // the system refused the converted file
  WALLPAPER_DESKTOP_KEY_CLOSED  // the desktop key could not be opened for writing
};

// argv[0] is the program name and is never looked at. When no wallpaper
// could be set, the previous style and wallpaper are put back and the reason
// goes to the debugger output. Returns a WallpaperExitCode.
int RunWallpaperCommand(int argc, wchar_t** argv);

// The picture as it is, or else converted to the executable's path with the
// extension ".bmp" when pluginFolder is a folder. WALLPAPER_SET when the
// system took one of them; never WALLPAPER_DESKTOP_KEY_CLOSED.
WallpaperOutcome ApplyWallpaper(const wchar_t* imagePath, const char* pluginFolder);

// The one debugger line that names the picture and why it is not set.
void TraceWallpaperFailure(const wchar_t* imagePath, WallpaperOutcome outcome);
