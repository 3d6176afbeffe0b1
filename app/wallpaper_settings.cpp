#include "app/wallpaper_settings.h"

#include "TOOLS/file_attributes.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"

const char DESKTOP_KEY_NAME[] = "Control Panel\\desktop";

const StyleOption STYLE_OPTIONS[] = {
    {"/center", "0", "0"},
    {"/tile", "0", "1"},
    {"/zoom", "2", "0"},
    // Windows 7 and later honour these; older systems show the picture centred.
    {"/fit", "6", "0"},
    {"/fill", "10", "0"},
    // Windows 8 and later: one picture across all monitors.
    {"/span", "22", "0"},
};
const size_t STYLE_OPTION_COUNT = sizeof STYLE_OPTIONS / sizeof STYLE_OPTIONS[0];

void SetDefaultWallpaperSettings(WallpaperSettings* settings) {
  ZeroFill(settings, sizeof *settings);
  CopyStringDbcs(settings->wallpaperStyle, STYLE_TEXT_SIZE, "0");
  CopyStringDbcs(settings->tileWallpaper, STYLE_TEXT_SIZE, "0");
}

bool BuildWallpaperSettings(WallpaperSettings* settings, int argc, char** argv) {
  SetDefaultWallpaperSettings(settings);
  // Full access, as for writing later: a key this user may not change gives
  // no current values either.
  ScopedRegKey desktop;
  if (OpenRegKey(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, KEY_ALL_ACCESS, desktop.receive()))
    ReadWallpaperSettings(settings, desktop.get());
  if (argc <= 1) return false;
  for (int i = 1; i < argc; ++i) TakeWallpaperArgument(settings, argv[i]);
  return FileExists(settings->wallpaperPath);
}

void TakeWallpaperArgument(WallpaperSettings* settings, const char* argument) {
  // A file that happens to be called like an option is still a file.
  if (TakeImageFile(settings, argument)) return;
  TakeStyleOption(settings, argument);
}

bool TakeImageFile(WallpaperSettings* settings, const char* argument) {
  if (!IsFile(argument)) return false;
  // The system stores the path as given, and the plug-ins may move the
  // current folder: only a full path still names the picture later. A full
  // path that does not fit would name some other file, so the argument is
  // then passed over.
  char fullPath[PATH_BUFFER_SIZE];
  DWORD length = GetFullPathNameA(argument, PATH_BUFFER_SIZE, fullPath, nullptr);
  if (length == 0 || length >= PATH_BUFFER_SIZE) return false;
  CopyStringDbcs(settings->wallpaperPath, PATH_BUFFER_SIZE, fullPath);
  return true;
}

bool TakeStyleOption(WallpaperSettings* settings, const char* argument) {
  for (size_t i = 0; i < STYLE_OPTION_COUNT; ++i) {
    const StyleOption& row = STYLE_OPTIONS[i];
    if (!IsEqualStringNoCase(argument, row.option)) continue;
    CopyStringDbcs(settings->wallpaperStyle, STYLE_TEXT_SIZE, row.wallpaperStyle);
    CopyStringDbcs(settings->tileWallpaper, STYLE_TEXT_SIZE, row.tileWallpaper);
    return true;
  }
  return false;
}

void ReadWallpaperSettings(WallpaperSettings* settings, HKEY desktopKey) {
  QueryRegValue(desktopKey, "Wallpaperstyle", settings->wallpaperStyle, STYLE_TEXT_SIZE);
  QueryRegValue(desktopKey, "TileWallpaper", settings->tileWallpaper, STYLE_TEXT_SIZE);
  QueryRegValue(desktopKey, "Wallpaper", settings->wallpaperPath, WALLPAPER_VALUE_SIZE);
}

void WriteWallpaperStyle(const WallpaperSettings& settings, HKEY desktopKey) {
  SetRegString(desktopKey, "Wallpaperstyle", settings.wallpaperStyle);
  SetRegString(desktopKey, "TileWallpaper", settings.tileWallpaper);
  // On disk before the system is asked, so whoever reads the desktop key
  // after the switch finds the new style.
  RegFlushKey(desktopKey);
}
