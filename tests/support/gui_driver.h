// Real mouse and screen for GUI tests under the Wine virtual desktop: moves
// and clicks go through SendInput, and what the user sees is read back from
// the screen.
#pragma once
#include <windows.h>

#include <functional>

// Handles this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);
// Handles messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000);

// The window's screen rectangle.
RECT WindowRect(HWND window);

// Sends the move and returns at once; the pointer gets there some time later.
void MoveCursorTo(int x, int y);
// Moves the pointer there and handles this thread's messages until the system
// has reported it there for a while. Wine's X11 driver moves the X pointer
// under a grab of the virtual desktop's window; the crossing event of that
// grab still carries the place before the jump, and the desktop's own thread
// sends it back as input, so now and then the pointer jumps back to where it
// came from and stays there. It is sent on again whenever it drifts. False if
// it never settled in time.
bool MovePointerTo(int x, int y, DWORD timeoutMs = 3000);
bool MovePointerTo(POINT point, DWORD timeoutMs = 3000);
void PressLeftButton();
void ReleaseLeftButton();

// A 32-bit bitmap, top row first, whose pixels the caller reads as
// 0x00RRGGBB through bits.
HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, void** bits);

// The pixels of a screen rectangle, top row first.
class ScreenPixels {
 public:
  explicit ScreenPixels(const RECT& screenRect);
  ~ScreenPixels();
  ScreenPixels(const ScreenPixels&) = delete;
  ScreenPixels& operator=(const ScreenPixels&) = delete;

  COLORREF at(int x, int y) const;  // relative to the rectangle
  int count(COLORREF color) const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  HBITMAP bitmap_;
  const DWORD* bits_;
};

// Restores the cursor position when the test is done.
class CursorKeeper {
 public:
  CursorKeeper() { GetCursorPos(&saved_); }
  ~CursorKeeper() { SetCursorPos(saved_.x, saved_.y); }

 private:
  POINT saved_;
};
