#include "tests/association/dialog_driver.h"

#include <thread>

#include "association/association_dialog.h"
#include "tests/support/gui_driver.h"

const char ASSOCIATION_DIALOG_CAPTION[] = "Velmique の関連づけ";

namespace {

const DWORD POLL_MS = 20;

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(POLL_MS);
  }
}

bool HoldsCapture(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndCapture != nullptr;
}

HWND WaitForOwnDialog(DWORD timeoutMs) {
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        HWND found = FindWindowA(nullptr, ASSOCIATION_DIALOG_CAPTION);
        DWORD process = 0;
        if (found) GetWindowThreadProcessId(found, &process);
        if (found && process == GetCurrentProcessId() && IsWindowVisible(found)) dialog = found;
        return dialog != nullptr;
      },
      timeoutMs);
  return dialog;
}

}  // namespace

bool RunAssociationDialog(const std::function<void(HWND dialog)>& drive) {
  std::thread driver([&] {
    HWND dialog = WaitForOwnDialog(10000);
    if (!dialog) return;
    // Keys and clicks go to the active window; make sure the new dialog is it.
    if (!WaitFor([&] { return GetForegroundWindow() == dialog; }, 2000)) {
      SetForegroundWindow(dialog);
      WaitFor([&] { return GetForegroundWindow() == dialog; }, 2000);
    }
    drive(dialog);
    if (IsWindow(dialog)) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      WaitUntilClosed(dialog);
    }
  });
  bool result = ShowAssociationDialog();
  driver.join();
  return result;
}

HWND FindAssociationDialog(DWORD timeoutMs) {
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        dialog = FindWindowA(nullptr, ASSOCIATION_DIALOG_CAPTION);
        return dialog && IsWindowVisible(dialog);
      },
      timeoutMs);
  return dialog;
}

namespace {

BOOL CALLBACK CountIfAssociationDialog(HWND window, LPARAM counter) {
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  if (lstrcmpA(text, ASSOCIATION_DIALOG_CAPTION) == 0) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

}  // namespace

int CountAssociationDialogs() {
  int count = 0;
  EnumWindows(CountIfAssociationDialog, reinterpret_cast<LPARAM>(&count));
  return count;
}

void ClickAt(POINT screen) {
  MoveCursorTo(screen.x, screen.y);
  PressLeftButton();
  ReleaseLeftButton();
}

void DragFromTo(POINT from, POINT to) {
  MovePointerTo(from);
  PressLeftButton();
  Sleep(100);
  const int steps = 5;
  for (int i = 1; i <= steps; ++i) {
    MoveCursorTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    Sleep(50);
  }
  ReleaseLeftButton();
  Sleep(100);
}

void PressKey(WORD virtualKey) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof keys[0]);
}

bool IsChecked(HWND dialog, int itemId) {
  return SendDlgItemMessageA(dialog, itemId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The press and the release go to the control as the mouse would send them,
// straight into its queue: clicks through the global input path now and then
// got lost while the virtual desktop was still activating a new dialog.
void ClickItem(HWND dialog, int itemId) {
  HWND control = GetDlgItem(dialog, itemId);
  RECT client = {};
  GetClientRect(control, &client);
  // Inside the box of a check box, and inside any push button.
  LPARAM at = MAKELPARAM(6, client.bottom / 2);
  PostMessageA(control, WM_MOUSEMOVE, 0, at);
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(control, WM_LBUTTONUP, 0, at);
}

bool ClickCheckBox(HWND dialog, int itemId) {
  bool before = IsChecked(dialog, itemId);
  ClickItem(dialog, itemId);
  // The box changes its state while it still holds the mouse capture; the
  // next click must not arrive before it has let go.
  return WaitFor([&] { return IsChecked(dialog, itemId) != before; }, 3000) &&
         WaitFor([&] { return !HoldsCapture(dialog); }, 3000);
}

bool FindCloseBox(HWND dialog, POINT* point) {
  RECT rect = {};
  GetWindowRect(dialog, &rect);
  int y = rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = rect.right - 1; x > rect.left; --x) {
    LRESULT code = SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y));
    if (code != HTCLOSE) continue;
    *point = POINT{x - 3, y};
    return true;
  }
  return false;
}

bool WaitUntilClosed(HWND dialog, DWORD timeoutMs) {
  return WaitFor([&] { return !IsWindow(dialog); }, timeoutMs);
}

bool WaitForRectChange(HWND window, const RECT& before, DWORD timeoutMs) {
  return WaitFor(
      [&] {
        RECT now = {};
        GetWindowRect(window, &now);
        return !EqualRect(&now, &before);
      },
      timeoutMs);
}
