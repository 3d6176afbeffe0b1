// Window-handle checks: a failed one writes a trace line naming its
// condition and returns false; nothing else happens.
#pragma once
#include <windows.h>

bool IsValidWindow(HWND window);
bool IsValidDlgItem(HWND dialog, int itemId);
