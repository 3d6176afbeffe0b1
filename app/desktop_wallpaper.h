// The one request that makes the system switch the desktop wallpaper.
#pragma once

using DesktopWallpaperSetter = bool (*)(const wchar_t* path);

// Asks the system to show path as the wallpaper and to keep it in the user's
// settings. True when the system accepted it. A path the code page can hold
// goes through the code-page call as it always has; any other through the
// wide call, so that the settings keep the real name.
bool SetDesktopWallpaper(const wchar_t* path);

// Tests only: replaces the system call; returns the previous setter; null
// puts the real call back.
DesktopWallpaperSetter ReplaceDesktopWallpaperSetter(DesktopWallpaperSetter setter);
