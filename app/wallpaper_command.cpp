#include "app/wallpaper_command.h"

#include "TOOLS/file_attributes.h"
#include "TOOLS/module_path.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"
#include "convert/convert_to_bitmap.h"

void RunWallpaperCommand(int argc, wchar_t** argv) {
  WallpaperSettings requested;
  if (!BuildWallpaperSettings(&requested, argc, argv)) return;
  char pluginFolder[PATH_BUFFER_SIZE];
  FindPluginFolder(pluginFolder);
  ScopedRegKey desktop;
  if (!OpenRegKey(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, KEY_ALL_ACCESS, desktop.receive())) return;
  WallpaperSettings previous;
  SetDefaultWallpaperSettings(&previous);
  ReadWallpaperSettings(&previous, desktop.get());
  // The system repaints the desktop during the call below with whatever
  // style the key holds at that moment.
  WriteWallpaperStyle(requested, desktop.get());
  if (ApplyWallpaper(requested.wallpaperPath.c_str(), pluginFolder)) return;
  WriteWallpaperStyle(previous, desktop.get());
  // The system stores the path again itself: the whole wide text, exactly
  // as it was read.
  SetDesktopWallpaper(previous.wallpaperPath.c_str());
}

bool ApplyWallpaper(const wchar_t* imagePath, const char* pluginFolder) {
  if (SetDesktopWallpaper(imagePath)) return true;
  if (!IsDirectory(pluginFolder)) return false;
  // The loaders open the picture through the code page: its exact name, or
  // its short alias.
  char source[PATH_BUFFER_SIZE];
  if (!GetAnsiPathForm(imagePath, source, sizeof source)) return false;
  char bmpPath[PATH_BUFFER_SIZE] = "";
  if (!GetModulePathWithExtension(bmpPath, ".bmp")) return false;
  if (ConvertToBitmapFile(bmpPath, source, pluginFolder))
    return SetDesktopWallpaper(ConvertFromAnsi(bmpPath).c_str());
  return false;
}
