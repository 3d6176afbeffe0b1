#include "app/wallpaper_command.h"

// Placeholder until the wallpaper command lands: the start-up path and the
// mode choice are all that run today.
void RunWallpaperCommand(int, char**) {}
