// Points, rectangles and window geometry. Positions and sizes are screen
// pixels from the window rectangle unless a function says otherwise.
#pragma once
#include <windows.h>

bool SetPoint(POINT* point, int x, int y);
bool OffsetPoint(POINT* point, int dx, int dy);
int GetRectWidth(const RECT* rect);
int GetRectHeight(const RECT* rect);
// cx is the width, cy the height.
bool GetRectSize(const RECT* rect, SIZE* size);

bool GetWindowPosition(HWND window, POINT* point);
bool GetWindowSize(HWND window, SIZE* size);
int GetWindowWidth(HWND window);
int GetWindowHeight(HWND window);
int GetWindowTop(HWND window);
int GetWindowBottom(HWND window);
int GetDlgItemTop(HWND dialog, int itemId);
int GetDlgItemBottom(HWND dialog, int itemId);
// A screen point becomes an offset from the window's top-left corner.
bool MakeWindowRelative(HWND window, POINT* point);
bool GetWorkArea(RECT* rect);
// The work area of the monitor under the point, or of the nearest one.
bool GetMonitorWorkArea(POINT point, RECT* rect);

// Position and size change without touching the z-order. A child is placed
// in its parent's client coordinates, an owned or free top-level window in
// screen coordinates.
bool MoveWindowTo(HWND window, int x, int y);
bool SetWindowSize(HWND window, int width, int height);
bool MoveWindowBy(HWND window, int dx, int dy);
bool ResizeWindowBy(HWND window, int dw, int dh);
bool MoveDlgItemVertically(HWND dialog, int itemId, int dy);
// Showing never activates the window.
bool SetWindowVisible(HWND window, bool show);
bool ShowDlgItem(HWND dialog, int itemId, bool show);
bool EnableDlgItem(HWND dialog, int itemId, bool enable);
// Centres the window on the mouse cursor, kept inside the work area of the
// monitor under the cursor (the primary screen when no work area can be
// read); a window larger than the work area keeps its left and top edges on
// the work area's.
void CenterWindowAtCursor(HWND window);
bool InvalidateWindow(HWND window);

using MonitorWorkAreaReader = bool (*)(POINT point, RECT* rect);
// Tests only: replaces the monitor query of GetMonitorWorkArea; returns the
// previous reader; null puts the real query back.
MonitorWorkAreaReader ReplaceMonitorWorkAreaReader(MonitorWorkAreaReader reader);
