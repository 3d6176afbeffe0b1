// The wallpaper mode: set the named picture with the named style.
#pragma once

// argv[0] is the program name and is never looked at.
void RunWallpaperCommand(int argc, char** argv);
