// Cursor, system menu, icons, window text, fonts and notification headers.
#pragma once
#include <windows.h>

bool GetCursorClientPos(HWND window, POINT* point);
// The right and bottom edges of the client area lie outside.
bool IsCursorInClient(HWND window);
// Position of the first SC_MAXIMIZE item, or -1.
int FindMaximizeMenuItem(HMENU menu);
// The icons belong to the caller (DestroyIcon). flags: SHGFI_LARGEICON (0) or
// SHGFI_SMALLICON (1).
HICON GetFileIcon(const char* path, UINT flags);
HICON GetModuleIcon(HMODULE module, UINT flags);
// Returns the previous icon.
HICON SetWindowIcon(HWND window, int which, HICON icon);
// A malloc'd copy of the window's text (free it), or null.
char* GetWindowTextAlloc(HWND window);
// False when the window has no font.
bool GetWindowFontInfo(HWND window, LOGFONTA* font);
bool InitNotifyHeader(NMHDR* header, HWND sender, UINT code);
UINT GetNotifyCode(const NMHDR* header);
