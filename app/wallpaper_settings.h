// The wanted desktop settings: the display style as the two texts the
// desktop key holds, and the picture. Gathered from the defaults, the desktop
// key and the command-line arguments, in that order.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "TOOLS/sjis_text.h"

const size_t STYLE_TEXT_SIZE = 10;

extern const char DESKTOP_KEY_NAME[];  // "Control Panel\\desktop", under the current user

struct WallpaperSettings {
  char wallpaperStyle[STYLE_TEXT_SIZE];  // "Wallpaperstyle"
  char tileWallpaper[STYLE_TEXT_SIZE];   // "TileWallpaper"
  // "Wallpaper" when read from the key, whole and as the system keeps it;
  // else the picture named on the command line, as a full path.
  std::wstring wallpaperPath;
};

struct StyleOption {
  const char* option;
  const char* wallpaperStyle;
  const char* tileWallpaper;
};

// "/center", "/tile", "/zoom", "/fit", "/fill", "/span", compared without
// regard to ASCII case.
extern const StyleOption STYLE_OPTIONS[];
extern const size_t STYLE_OPTION_COUNT;

// "0", "0" and no picture.
void SetDefaultWallpaperSettings(WallpaperSettings* settings);

// The defaults, then the current desktop values, then argv[1..argc-1]: the
// last existing file (as a full path) and the last style option win. True
// when the resulting path names something that exists.
bool BuildWallpaperSettings(WallpaperSettings* settings, int argc, wchar_t** argv);
// One argument: an existing file is the picture, else a style option may set
// the style; anything else is ignored.
void TakeWallpaperArgument(WallpaperSettings* settings, const wchar_t* argument);
// A file whose name the code page cannot hold counts only when it has a
// short alias, through which the plug-ins and the packed reader open it.
bool TakeImageFile(WallpaperSettings* settings, const wchar_t* argument);
bool TakeStyleOption(WallpaperSettings* settings, const wchar_t* argument);

// A value that cannot be read leaves its field as it was.
void ReadWallpaperSettings(WallpaperSettings* settings, HKEY desktopKey);
// The two style texts, flushed; the picture is the system's to store.
void WriteWallpaperStyle(const WallpaperSettings& settings, HKEY desktopKey);
