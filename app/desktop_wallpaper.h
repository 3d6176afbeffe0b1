// The one request that makes the system switch the desktop wallpaper.
#pragma once

using DesktopWallpaperSetter = bool (*)(const char* path);

// Asks the system to show path as the wallpaper and to keep it in the user's
// settings. True when the system accepted it.
bool SetDesktopWallpaper(const char* path);

// Tests only: replaces the system call; returns the previous setter; null
// puts the real call back.
DesktopWallpaperSetter ReplaceDesktopWallpaperSetter(DesktopWallpaperSetter setter);
