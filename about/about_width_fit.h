// The About box widens itself to its widest text line and centres its OK
// button; window-rectangle pixels throughout.
#pragma once
#include <windows.h>

// The extent of the window's text in its own font; 0 by 0 without text.
bool MeasureWindowText(HWND window, SIZE* extent);
// Widens the control to its text; returns the pixels added (0 or more).
int GrowControlToText(HWND control);
void FitAboutWidth(HWND dialog);
void GrowDialogAndCenterOk(HWND dialog, int growth);
