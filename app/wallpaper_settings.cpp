#include "app/wallpaper_settings.h"

#include <vector>

#include "TOOLS/debug_trace.h"
#include "TOOLS/file_attributes.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"
#include "TOOLS/wide_text.h"

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

namespace {

// The system asks no more of a path than the full path call gives.
std::wstring GetFullPathWide(const wchar_t* path) {
  DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::vector<wchar_t> buffer(needed + 1);
  DWORD length = GetFullPathNameW(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length == 0 || length >= buffer.size()) return std::wstring();
  return std::wstring(buffer.data(), length);
}

}  // namespace

void SetDefaultWallpaperSettings(WallpaperSettings* settings) {
  ZeroFill(settings->wallpaperStyle, sizeof settings->wallpaperStyle);
  ZeroFill(settings->tileWallpaper, sizeof settings->tileWallpaper);
  CopyStringDbcs(settings->wallpaperStyle, STYLE_TEXT_SIZE, "0");
  CopyStringDbcs(settings->tileWallpaper, STYLE_TEXT_SIZE, "0");
  settings->wallpaperPath.clear();
}

bool BuildWallpaperSettings(WallpaperSettings* settings, int argc, wchar_t** argv) {
  SetDefaultWallpaperSettings(settings);
  // Full access, as for writing later: a key this user may not change gives
  // no current values either.
  ScopedRegKey desktop;
  if (OpenRegKey(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, KEY_ALL_ACCESS, desktop.receive()))
    ReadWallpaperSettings(settings, desktop.get());
  if (argc <= 1) return false;
  for (int i = 1; i < argc; ++i) TakeWallpaperArgument(settings, argv[i]);
  return !settings->wallpaperPath.empty() && FileExistsWide(settings->wallpaperPath.c_str());
}

void TakeWallpaperArgument(WallpaperSettings* settings, const wchar_t* argument) {
  // A file that happens to be called like an option is still a file.
  if (TakeImageFile(settings, argument)) return;
  TakeStyleOption(settings, argument);
}

bool TakeImageFile(WallpaperSettings* settings, const wchar_t* argument) {
  if (!IsFileWide(argument)) return false;
  // The system stores the path as given, and the plug-ins may move the
  // current folder: only a full path still names the picture later. A full
  // path that does not fit would name some other file, so the argument is
  // then passed over.
  std::wstring fullPath = GetFullPathWide(argument);
  char ansiPath[PATH_BUFFER_SIZE];
  if (fullPath.empty()) return false;
  if (!GetAnsiPathForm(fullPath.c_str(), ansiPath, sizeof ansiPath)) {
    DebugTrace("picture passed over: no short name for \"%s\"\r\n",
               ConvertToAnsiLossy(fullPath.c_str()).c_str());
    return false;
  }
  settings->wallpaperPath = fullPath;
  return true;
}

bool TakeStyleOption(WallpaperSettings* settings, const wchar_t* argument) {
  // Every option is plain ASCII: an argument the code page cannot hold is
  // none of them.
  char option[STYLE_TEXT_SIZE * 2];
  if (!ConvertToAnsiExactly(argument, option, sizeof option)) return false;
  for (size_t i = 0; i < STYLE_OPTION_COUNT; ++i) {
    const StyleOption& row = STYLE_OPTIONS[i];
    if (!IsEqualStringNoCase(option, row.option)) continue;
    CopyStringDbcs(settings->wallpaperStyle, STYLE_TEXT_SIZE, row.wallpaperStyle);
    CopyStringDbcs(settings->tileWallpaper, STYLE_TEXT_SIZE, row.tileWallpaper);
    return true;
  }
  return false;
}

void ReadWallpaperSettings(WallpaperSettings* settings, HKEY desktopKey) {
  QueryRegValue(desktopKey, "Wallpaperstyle", settings->wallpaperStyle, STYLE_TEXT_SIZE);
  QueryRegValue(desktopKey, "TileWallpaper", settings->tileWallpaper, STYLE_TEXT_SIZE);
  // Whole and wide: the restore must name exactly the file the user had.
  QueryRegTextWide(desktopKey, L"Wallpaper", &settings->wallpaperPath);
}

void WriteWallpaperStyle(const WallpaperSettings& settings, HKEY desktopKey) {
  SetRegString(desktopKey, "Wallpaperstyle", settings.wallpaperStyle);
  SetRegString(desktopKey, "TileWallpaper", settings.tileWallpaper);
  // On disk before the system is asked, so whoever reads the desktop key
  // after the switch finds the new style.
  RegFlushKey(desktopKey);
}
