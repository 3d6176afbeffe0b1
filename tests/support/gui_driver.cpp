#include "tests/support/gui_driver.h"

namespace {

void HandleWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.dx = dx;
  input.mi.dy = dy;
  SendInput(1, &input, sizeof input);
}

// Absolute input counts in 65536ths of the screen; rounding up makes the
// system's scaling back land on the very pixel.
LONG ToAbsolute(int pixel, int screenSize) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

// Moves go through the input queue like the button events, so the two keep
// their order; SetCursorPos does not take that road. The buttons carry the
// place of the last move too: the pointer may jump back to its place before
// the move (see MovePointerTo), and a click must not land there.
POINT target = {0, 0};

void SendMouseAtTarget(DWORD flags) {
  SendMouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
            ToAbsolute(target.x, GetSystemMetrics(SM_CXSCREEN)),
            ToAbsolute(target.y, GetSystemMetrics(SM_CYSCREEN)));
}

}  // namespace

void PumpMessages(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    HandleWaitingMessages();
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
  HandleWaitingMessages();
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    HandleWaitingMessages();
    Sleep(5);
  }
  return true;
}

RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

void MoveCursorTo(int x, int y) {
  target = {x, y};
  SendMouseAtTarget(0);
}
namespace {

// Long enough to outlast a jump back to the place before the move (it comes
// within a few tens of milliseconds), short enough for tests that move often.
const DWORD SETTLED_MS = 100;
const DWORD RESEND_MS = 40;

bool CursorIsAt(int x, int y) {
  POINT now = {};
  return GetCursorPos(&now) && now.x == x && now.y == y;
}

}  // namespace

bool MovePointerTo(int x, int y, DWORD timeoutMs) {
  MoveCursorTo(x, y);
  const DWORD start = GetTickCount();
  DWORD sent = start;
  DWORD arrived = 0;
  bool there = false;
  for (;;) {
    HandleWaitingMessages();
    const DWORD now = GetTickCount();
    if (CursorIsAt(x, y)) {
      if (!there) arrived = now;
      there = true;
      if (now - arrived >= SETTLED_MS) return true;
    } else {
      there = false;
      if (now - sent >= RESEND_MS) {
        MoveCursorTo(x, y);
        sent = now;
      }
    }
    if (now - start > timeoutMs) return false;
    Sleep(5);
  }
}

bool MovePointerTo(POINT point, DWORD timeoutMs) { return MovePointerTo(point.x, point.y, timeoutMs); }

void PressLeftButton() { SendMouseAtTarget(MOUSEEVENTF_LEFTDOWN); }
void ReleaseLeftButton() { SendMouseAtTarget(MOUSEEVENTF_LEFTUP); }

HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

ScreenPixels::ScreenPixels(const RECT& screenRect)
    : width_(screenRect.right - screenRect.left),
      height_(screenRect.bottom - screenRect.top),
      bitmap_(nullptr),
      bits_(nullptr) {
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  bitmap_ = CreateTopDownBitmap(screen, width_, height_, &bits);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap_);
  BitBlt(memory, 0, 0, width_, height_, screen, screenRect.left, screenRect.top, SRCCOPY);
  GdiFlush();
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  bits_ = static_cast<const DWORD*>(bits);
}

ScreenPixels::~ScreenPixels() { DeleteObject(bitmap_); }

COLORREF ScreenPixels::at(int x, int y) const {
  DWORD pixel = bits_[y * width_ + x];  // 0x00RRGGBB
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int ScreenPixels::count(COLORREF color) const {
  int n = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) n += at(x, y) == color;
  }
  return n;
}
