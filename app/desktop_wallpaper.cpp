#include "app/desktop_wallpaper.h"

#include <windows.h>

#include <vector>

#include "TOOLS/wide_text.h"

namespace {

const UINT WALLPAPER_UPDATE = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;

bool AskSystemForWallpaper(const wchar_t* path) {
  // The system only reads the text, but the calls are declared for writing.
  size_t capacity = (wcslen(path) + 1) * 2;
  std::vector<char> ansi(capacity);
  if (ConvertToAnsiExactly(path, ansi.data(), capacity))
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, ansi.data(), WALLPAPER_UPDATE) != FALSE;
  std::vector<wchar_t> wide(path, path + wcslen(path) + 1);
  return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), WALLPAPER_UPDATE) != FALSE;
}

DesktopWallpaperSetter currentSetter = AskSystemForWallpaper;

}  // namespace

bool SetDesktopWallpaper(const wchar_t* path) { return currentSetter(path); }

DesktopWallpaperSetter ReplaceDesktopWallpaperSetter(DesktopWallpaperSetter setter) {
  DesktopWallpaperSetter previous = currentSetter;
  currentSetter = setter != nullptr ? setter : AskSystemForWallpaper;
  return previous;
}
