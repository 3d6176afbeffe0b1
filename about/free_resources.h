// The free-resources line, on the systems whose "rsrc32.dll" can tell it.
#pragma once
#include <windows.h>

// percent may be null. False when the library or its export is missing.
bool QueryFreeSystemResources(int* percent);
// Empties the control's text, then fills it when the value can be had.
bool SetFreeResourcesText(HWND control);
