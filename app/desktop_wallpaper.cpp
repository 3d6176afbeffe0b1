#include "app/desktop_wallpaper.h"

#include <windows.h>

namespace {

bool AskSystemForWallpaper(const char* path) {
  // The system only reads the text, but the call is declared for writing.
  return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path),
                               SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE;
}

DesktopWallpaperSetter currentSetter = AskSystemForWallpaper;

}  // namespace

bool SetDesktopWallpaper(const char* path) { return currentSetter(path); }

DesktopWallpaperSetter ReplaceDesktopWallpaperSetter(DesktopWallpaperSetter setter) {
  DesktopWallpaperSetter previous = currentSetter;
  currentSetter = setter != nullptr ? setter : AskSystemForWallpaper;
  return previous;
}
