#include "app/wallpaper_command.h"

#include "TOOLS/debug_trace.h"
#include "TOOLS/file_attributes.h"
#include "TOOLS/module_path.h"
#include "TOOLS/registry.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"
#include "convert/convert_to_bitmap.h"
#include "convert/output_folder.h"

namespace {

// In the order of WallpaperOutcome; words a person with a debug viewer reads.
const char* const FAILURE_REASONS[] = {
    "",
    "the system refused it and no loader read it",
    "the BMP could not be written",
    "the system refused the converted file",
    "the desktop key could not be opened",
};
static_assert(sizeof FAILURE_REASONS / sizeof FAILURE_REASONS[0] == WALLPAPER_DESKTOP_KEY_CLOSED + 1,
              "one reason for each outcome");

}  // namespace

int RunWallpaperCommand(int argc, wchar_t** argv) {
  WallpaperSettings requested;
  if (!BuildWallpaperSettings(&requested, argc, argv)) return WALLPAPER_EXIT_NOTHING_TO_DO;
  char pluginFolder[PATH_BUFFER_SIZE];
  FindPluginFolder(pluginFolder);
  ScopedRegKey desktop;
  if (!OpenRegKey(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, KEY_ALL_ACCESS, desktop.receive())) {
    // Nothing was written, so the previous settings are still in force.
    TraceWallpaperFailure(requested.wallpaperPath.c_str(), WALLPAPER_DESKTOP_KEY_CLOSED);
    return WALLPAPER_EXIT_FAILED;
  }
  WallpaperSettings previous;
  SetDefaultWallpaperSettings(&previous);
  ReadWallpaperSettings(&previous, desktop.get());
  // The system repaints the desktop during the call below with whatever
  // style the key holds at that moment.
  WriteWallpaperStyle(requested, desktop.get());
  WallpaperOutcome outcome = ApplyWallpaper(requested.wallpaperPath.c_str(), pluginFolder);
  if (outcome == WALLPAPER_SET) return WALLPAPER_EXIT_SET;
  WriteWallpaperStyle(previous, desktop.get());
  // The system stores the path again itself: the whole wide text, exactly
  // as it was read.
  SetDesktopWallpaper(previous.wallpaperPath.c_str());
  TraceWallpaperFailure(requested.wallpaperPath.c_str(), outcome);
  return WALLPAPER_EXIT_FAILED;
}

WallpaperOutcome ApplyWallpaper(const wchar_t* imagePath, const char* pluginFolder) {
  if (SetDesktopWallpaper(imagePath)) return WALLPAPER_SET;
  if (!IsDirectory(pluginFolder)) return WALLPAPER_NOT_LOADED;
  // The loaders open the picture through the code page: its exact name, or
  // its short alias.
  char source[PATH_BUFFER_SIZE];
  if (!GetAnsiPathForm(imagePath, source, sizeof source)) return WALLPAPER_NOT_LOADED;
  char bmpPath[PATH_BUFFER_SIZE] = "";
  // Beside the program, or in the user's own folder where the program's
  // folder cannot be written.
  if (!GetOutputPathWithExtension(bmpPath, ".bmp")) return WALLPAPER_BMP_NOT_WRITTEN;
  ConvertOutcome converted = ConvertToBitmapFileWithOutcome(bmpPath, source, pluginFolder);
  if (converted == CONVERT_NOT_LOADED) return WALLPAPER_NOT_LOADED;
  if (converted == CONVERT_NOT_SAVED) return WALLPAPER_BMP_NOT_WRITTEN;
  return SetDesktopWallpaper(ConvertFromAnsi(bmpPath).c_str()) ? WALLPAPER_SET
                                                              : WALLPAPER_CONVERTED_REFUSED;
}

void TraceWallpaperFailure(const wchar_t* imagePath, WallpaperOutcome outcome) {
  DebugTrace("wallpaper not set: %s: %s\r\n", ConvertToAnsiLossy(imagePath).c_str(),
             FAILURE_REASONS[outcome]);
}
