#include "TOOLS/toolwind_geometry.h"

namespace {

// A screen position as the window's own coordinate space sees it: its
// parent's client area for a child, the screen for a top-level window, owned
// or not (GetParent names the owner of an owned window, IsChild tells them
// apart).
void ToPlacementCoordinates(HWND window, POINT* point) {
  HWND parent = GetParent(window);
  if (parent && IsChild(parent, window)) ScreenToClient(parent, point);
}

bool GetPlacementPosition(HWND window, POINT* point) {
  GetWindowPosition(window, point);
  ToPlacementCoordinates(window, point);
  return true;
}

bool AskSystemForMonitorWorkArea(POINT point, RECT* rect) {
  // The nearest monitor, so that a point just off every screen still has one.
  HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoA(monitor, &info)) return false;
  *rect = info.rcWork;
  return true;
}

MonitorWorkAreaReader currentMonitorReader = AskSystemForMonitorWorkArea;

// Without a work area the whole primary screen is the best bound we have.
void GetPlacementBounds(POINT cursor, RECT* bounds) {
  if (GetMonitorWorkArea(cursor, bounds)) return;
  SetRect(bounds, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// The far edge first, then the near one: a window wider than the span ends
// on the near edge.
int ClampIntoSpan(int start, int length, int low, int high) {
  if (start + length > high) start = high - length;
  if (start < low) start = low;
  return start;
}

}  // namespace

bool SetPoint(POINT* point, int x, int y) {
  point->x = x;
  point->y = y;
  return true;
}

bool OffsetPoint(POINT* point, int dx, int dy) {
  point->x += dx;
  point->y += dy;
  return true;
}

int GetRectWidth(const RECT* rect) { return rect->right - rect->left; }
int GetRectHeight(const RECT* rect) { return rect->bottom - rect->top; }

bool GetRectSize(const RECT* rect, SIZE* size) {
  size->cx = GetRectWidth(rect);
  size->cy = GetRectHeight(rect);
  return true;
}

bool GetWindowPosition(HWND window, POINT* point) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return SetPoint(point, rect.left, rect.top);
}

bool GetWindowSize(HWND window, SIZE* size) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return GetRectSize(&rect, size);
}

int GetWindowWidth(HWND window) {
  SIZE size;
  GetWindowSize(window, &size);
  return size.cx;
}

int GetWindowHeight(HWND window) {
  SIZE size;
  GetWindowSize(window, &size);
  return size.cy;
}

int GetWindowTop(HWND window) {
  POINT position;
  GetWindowPosition(window, &position);
  return position.y;
}

int GetWindowBottom(HWND window) { return GetWindowTop(window) + GetWindowHeight(window); }

int GetDlgItemTop(HWND dialog, int itemId) { return GetWindowTop(GetDlgItem(dialog, itemId)); }

int GetDlgItemBottom(HWND dialog, int itemId) {
  return GetWindowBottom(GetDlgItem(dialog, itemId));
}

bool MakeWindowRelative(HWND window, POINT* point) {
  POINT origin;
  GetWindowPosition(window, &origin);
  return OffsetPoint(point, -origin.x, -origin.y);
}

bool GetWorkArea(RECT* rect) { return SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0) != 0; }

bool GetMonitorWorkArea(POINT point, RECT* rect) { return currentMonitorReader(point, rect); }

MonitorWorkAreaReader ReplaceMonitorWorkAreaReader(MonitorWorkAreaReader reader) {
  MonitorWorkAreaReader previous = currentMonitorReader;
  currentMonitorReader = reader != nullptr ? reader : AskSystemForMonitorWorkArea;
  return previous;
}

bool MoveWindowTo(HWND window, int x, int y) {
  return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER) != 0;
}

bool SetWindowSize(HWND window, int width, int height) {
  return SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER) != 0;
}

bool MoveWindowBy(HWND window, int dx, int dy) {
  POINT position;
  GetPlacementPosition(window, &position);
  return MoveWindowTo(window, position.x + dx, position.y + dy);
}

bool ResizeWindowBy(HWND window, int dw, int dh) {
  SIZE size;
  GetWindowSize(window, &size);
  return SetWindowSize(window, size.cx + dw, size.cy + dh);
}

bool MoveDlgItemVertically(HWND dialog, int itemId, int dy) {
  return MoveWindowBy(GetDlgItem(dialog, itemId), 0, dy);
}

// ShowWindow and EnableWindow answer with the state before the call, which
// says nothing about success; the state after the call does.
bool SetWindowVisible(HWND window, bool show) {
  ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
  if (!IsWindow(window)) return false;
  bool visible = (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
  return visible == show;
}

bool ShowDlgItem(HWND dialog, int itemId, bool show) {
  return SetWindowVisible(GetDlgItem(dialog, itemId), show);
}

bool EnableDlgItem(HWND dialog, int itemId, bool enable) {
  HWND item = GetDlgItem(dialog, itemId);
  EnableWindow(item, enable);
  return IsWindow(item) && (IsWindowEnabled(item) != 0) == enable;
}

void CenterWindowAtCursor(HWND window) {
  SIZE size;
  GetWindowSize(window, &size);
  POINT cursor = {};
  GetCursorPos(&cursor);
  POINT position = cursor;
  OffsetPoint(&position, -(size.cx / 2), -(size.cy / 2));
  RECT bounds;
  GetPlacementBounds(cursor, &bounds);
  position.x = ClampIntoSpan(position.x, size.cx, bounds.left, bounds.right);
  position.y = ClampIntoSpan(position.y, size.cy, bounds.top, bounds.bottom);
  ToPlacementCoordinates(window, &position);
  MoveWindowTo(window, position.x, position.y);
}

bool InvalidateWindow(HWND window) { return InvalidateRect(window, nullptr, FALSE) != 0; }
